#include "app/wizard.h"

bool CWizard::OnInitDialog() {
  const bool result = CPropertySheet::OnInitDialog();
  // The framework gives the sheet a Help button; this wizard has no help to offer.
  if (const CWnd help = GetDlgItem(IDHELP)) help.ShowWindow(SW_HIDE);
  return result;
}
