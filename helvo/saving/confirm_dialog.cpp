#include "helvo/saving/confirm_dialog.h"

namespace helvo {

cConfirmVersionDlg::cConfirmVersionDlg(CWnd* parent, StringList* lines) : m_pParent(parent), m_pLines(lines) {
  LoadTemplate();
}

void cConfirmVersionDlg::LoadTemplate() {
  m_Model = DialogModel();
  m_Model.templateId = IDD;
  m_Model.title = "Generate HELVO Setting File";
  m_Model.fontName = "Arial";
  m_Model.fontPoints = 8;
  m_Model.rect = {0, 0, 352, 193};
  m_Model.staticText =
      "VoduvezEroza has scanned your configuration and identified the following consequences of saving "
      "with the version you have selected:";
  m_Model.staticRect = {7, 7, 257, 25};
  m_Model.editId = IDC_CONSEQUENCES;
  m_Model.editReadOnly = true;
  m_Model.editRect = {7, 33, 281, 153};
  m_Model.buttons = {{IDOK, "Continue", {295, 155, 50, 14}}, {IDCANCEL, "Cancel", {295, 172, 50, 14}}};
}

int cConfirmVersionDlg::OnInitDialog() {
  if (!m_pLines) return 1;
  for (const std::string& line : *m_pLines) m_Model.editText += line + "\r\n";
  return 1;
}

int cConfirmVersionDlg::DoModal() {
  LoadTemplate();
  OnInitDialog();
  return ShowDialogModel(m_Model, m_pParent) == IDOK ? IDOK : IDCANCEL;
}

}  // namespace helvo
