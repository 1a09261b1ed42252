// The wizard's first page: the wizard picture and a fixed welcome text; the user can only
// move on or cancel.
#pragma once

#include "app/wizard_picture.h"
#include "framework/cstring.h"
#include "framework/property_page.h"

class CStep1 : public CPropertyPage {
 public:
  CStep1();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool OnInitDialog() override;
  bool OnSetActive() override;
  LRESULT OnWizardNext() override;

 private:
  CString m_strWelcome;
  CWizardPicture m_picture;
};
