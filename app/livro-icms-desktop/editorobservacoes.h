#pragma once
// "Observações": the observations editor on the screen, a face over TForm58140Observacoes
// (forms/observacoes.h), which holds the observations, the cycle of new / save / delete / cancel
// and every message. The tax (typed, or chosen in "Pesquisa do Código do Imposto") filters the
// grid when it is left; Enter or Down-arrow in the date opens the observation of that tax and date,
// or a new one; a double click on the grid edits the observation under it.
#include <QDialog>
#include <functional>

#include "forms/form58140.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class TCampoLookup;
class TForm58140Observacoes;

class TEditorObservacoes : public QDialog {
  Q_OBJECT

 public:
  // The editor must already have its establishment and interval (the report form fills it).
  explicit TEditorObservacoes(TForm58140Observacoes& obs, QWidget* pai = nullptr);

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;
  void reject() override;

 private:
  void LerTela();
  void MostrarTela();
  bool Executar(const std::function<void()>& manipulador);
  void Focar(TControle controle);
  void DigitouImposto(const QString& codigo);
  void PesquisarImposto();
  void Novo();

  TForm58140Observacoes& obs_;
  bool validando_ = false;
  QLabel* lblTitulo_;
  TCampoLookup* lkpImposto_;
  QLineEdit* edtData_;
  QPlainTextEdit* mmoObs_;
  QTableWidget* dbgObs_;
  QPushButton* btnNovo_;
  QPushButton* btnGravar_;
  QPushButton* btnExcluir_;
  QPushButton* btnCancelar_;
  QPushButton* btnImprimir_;
  QPushButton* btnSair_;
};
