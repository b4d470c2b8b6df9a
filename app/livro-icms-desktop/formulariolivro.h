#pragma once
// "Livro Registro de Apuração do ICMS": the report form on the screen. A face over TForm58140
// (forms/form58140.h), which holds the request and every rule: the widgets carry what the user
// types and clicks into the form's controls, call its handlers from their events (Enter and
// Down-arrow in the start date, leaving a field, the tax radios, definitive printing, the print
// action) and show what the handlers left. Nothing here decides a default, a check or a message.
//
// Printing runs the settlement with a progress dialog (the run's hook), answers its questions and
// dialogs through the desktop interaction, and opens the book in the preview, which decides
// whether the book was printed.
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/form58140.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TCampoLookup;
class TdmLivroICMS;

class TFormularioLivro : public QWidget {
  Q_OBJECT

 public:
  explicit TFormularioLivro(TdmLivroICMS& modulo, QWidget* pai = nullptr);
  ~TFormularioLivro() override;

  TForm58140& Formulario() { return *form_; }
  QAction* ActImprimir() const { return actImprimir_; }
  QAction* ActObservacoes() const { return actObservacoes_; }
  // The request as the person left it (dates, taxes, options, line spacing; the definitive book
  // is not kept), and put back the next time the office opens. The dates keep their checks:
  // restored, they go through the start date's Enter as typed ones do.
  QVariantMap Pedido();
  void RestaurarPedido(const QVariantMap& pedido);

 signals:
  // What became of a print or of the last operation, for the status bar.
  void mensagem(const QString& texto);
  void sair();

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  void MontarTela();
  std::vector<std::pair<TCaixa*, QCheckBox*>> Caixas();
  void LerTela();
  void MostrarTela();
  void Focar(TControle controle);
  QWidget* Widget(TControle controle) const;
  // Runs a handler of the form between reading and showing the screen; a failed field check (its
  // message already shown) puts the focus where the form asks. False when a check failed.
  bool Executar(const std::function<void()>& manipulador);
  // The print action (or the Enter of the line spacing), with progress, questions and preview.
  void Imprimir(const std::function<bool()>& acao);
  // A typed code searched; the focus back on its field when it names no record.
  void BuscarCodigo(TControle campo, const std::function<bool()>& buscar);
  // The book and the observations belong to one establishment: without it, the person is told so
  // and the focus goes to its field.
  bool FilialInformada();
  // Asks before a definitive book runs; false when the person declines.
  bool ConfirmarDefinitiva();
  void PesquisarEmpresa();
  void PesquisarFilial();
  bool SaidaDeCampo(QObject* objeto);

  TdmLivroICMS& modulo_;
  std::unique_ptr<TForm58140> form_;
  bool validando_ = false;
  bool imprimindo_ = false;
  bool definitivaRecusada_ = false;

  TCampoLookup* lkpEmpresa_;
  TCampoLookup* lkpFilial_;
  QLineEdit* edtDataInicio_;
  QLineEdit* edtDataFim_;
  QRadioButton* rbTodos_;
  QRadioButton* rbICMS_;
  QRadioButton* rbICMSST_;
  QRadioButton* rbCustom_;
  QToolButton* btnSelecionarImpostos_;
  QCheckBox* chkContabilizar_;
  QCheckBox* chkCalcularCIAP_;
  QCheckBox* chkSemMovimento_;
  QCheckBox* chkDetalharSufixoCfop_;
  QCheckBox* chkNaoImprimirDescricaoCFOP_;
  QCheckBox* chkImpressaoFrenteVerso_;
  QCheckBox* chkRodape_;
  QCheckBox* chkImpressaoDefinitiva_;
  QLabel* lblLivro_;
  QLineEdit* edtNumLivro_;
  QLabel* lblPagina_;
  QLineEdit* edtNumPagina_;
  QRadioButton* rbSextos_;
  QRadioButton* rbOitavos_;
  QPushButton* btnImprimir_;
  QPushButton* btnObservacoes_;
  QPushButton* btnSair_;
  QAction* actImprimir_;
  QAction* actObservacoes_;
};
