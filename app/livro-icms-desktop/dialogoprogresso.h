#pragma once
// The progress of a settlement: which establishment, tax and period is being settled, and how many
// of the run's summaries are done. "Cancelar" stops the run before the next summary, as a cancelled
// question does: what was settled up to there stays recorded and no book is printed.
#include <QProgressDialog>

class TResumo;

class TDialogoProgresso : public QProgressDialog {
  Q_OBJECT

 public:
  explicit TDialogoProgresso(QWidget* pai = nullptr);
  // The run's hook before each summary (TApuracao::OnAntesDeCalcular). Throws EAbortarSilencioso
  // when the user cancelled.
  void AntesDeCalcular(const TResumo& resumo, int indice, int quantidade);
};
