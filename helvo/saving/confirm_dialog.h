// The confirmation dialog shown before a save at a version the user chose: it lists the lines of the
// compatibility scan (CHelvoCfg::PreDumpScan) and lets the user continue with the save or cancel it.
// The dialog is described as a DialogModel and shown through the installed user-interface sink, so a
// host window and the command-line tool present the same dialog.
#pragma once

#include "helvo/platform/ordered_list.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

class cConfirmVersionDlg {
 public:
  enum { IDD = 926 };
  static constexpr int IDC_CONSEQUENCES = 1002;  // the read-only edit box holding the lines

  // A dialog over parent showing lines; lines may be none (the edit box then stays empty). The list
  // is read when the dialog is shown, not copied here.
  cConfirmVersionDlg(CWnd* parent, StringList* lines);
  cConfirmVersionDlg(const cConfirmVersionDlg&) = delete;
  cConfirmVersionDlg& operator=(const cConfirmVersionDlg&) = delete;
  virtual ~cConfirmVersionDlg() = default;

  // Appends each line, in list order and followed by "\r\n", to the edit box's text. Returns 1.
  virtual int OnInitDialog();
  // Builds the dialog from its template, runs OnInitDialog and shows it through the sink: IDOK when
  // the user chose Continue, IDCANCEL for any other answer.
  int DoModal();

  // The dialog as it stands (after OnInitDialog, with the edit box filled).
  const DialogModel& GetModel() const { return m_Model; }

 private:
  // The dialog as its template describes it, with an empty edit box.
  void LoadTemplate();

  CWnd* m_pParent;
  StringList* m_pLines;
  DialogModel m_Model;
};

}  // namespace helvo
