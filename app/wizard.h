// The installer's wizard: a property sheet in wizard mode that shows no Help button.
#pragma once

#include "framework/property_sheet.h"

class CWizard : public CPropertySheet {
 public:
  using CPropertySheet::CPropertySheet;

 protected:
  bool OnInitDialog() override;
};
