#pragma once
// "Selecionar Impostos": the host's tax-selection frame in a dialog. One row per tax the ledger
// settles (regular ICMS 2001 and the ICMS-ST code of each state) with its mark; a mark changed here
// is written into the frame's data set at once, so the marks left when the dialog closes are the
// selection. The dialog has no cancel: closing it keeps what was marked.
#include <QDialog>

class QTableWidget;
class TFrameSelecionarImpostos;

class TDialogoImpostos : public QDialog {
  Q_OBJECT

 public:
  explicit TDialogoImpostos(TFrameSelecionarImpostos& frame, QWidget* pai = nullptr);

 private:
  void Marcar(int linha, bool marcado);

  TFrameSelecionarImpostos& frame_;
  QTableWidget* grade_;
};
