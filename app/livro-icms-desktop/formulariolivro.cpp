#include "formulariolivro.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "campolookup.h"
#include "dialogoimpostos.h"
#include "dialogopesquisa.h"
#include "dialogoprogresso.h"
#include "edicoes.h"
#include "editorobservacoes.h"
#include "forms/observacoes.h"
#include "host/host.h"
#include "interacaoqt.h"
#include "relatorio/livroicms.h"
#include "visualizacao.h"

namespace {

// The form as the desktop runs it: a definitive book takes its folhas for good, so once the request
// is checked and filled in, the person confirms the book, first folha and period before anything
// runs.
class TForm58140Confirmado : public TForm58140 {
 public:
  TForm58140Confirmado(TdmLivroICMS& modulo, std::function<bool()> confirmar)
      : TForm58140(modulo), confirmar_(std::move(confirmar)) {}

 protected:
  bool ImprimirModulo() override {
    if (Modulo().FImpressaoDefinitiva && !confirmar_()) return false;
    return TForm58140::ImprimirModulo();
  }

 private:
  std::function<bool()> confirmar_;
};

}  // namespace

TFormularioLivro::TFormularioLivro(TdmLivroICMS& modulo, QWidget* pai)
    : QWidget(pai), modulo_(modulo),
      form_(std::make_unique<TForm58140Confirmado>(modulo, [this] { return ConfirmarDefinitiva(); })) {
  setObjectName("Form58140");
  setWindowTitle(TForm58140::kCaption);
  MontarTela();

  form_->OnSelecionarImpostos = [this](TFrameSelecionarImpostos& frame) {
    TDialogoImpostos dialogo(frame, window());
    dialogo.exec();
  };
  form_->OnExibirObservacoes = [this](TForm58140Observacoes& obs) {
    TEditorObservacoes editor(obs, window());
    editor.exec();
  };
  form_->FormCreate();
  MostrarTela();
}

TFormularioLivro::~TFormularioLivro() = default;

void TFormularioLivro::MontarTela() {
  auto rotulo = [](const QString& texto, QWidget* buddy) {
    auto* l = new QLabel(texto);
    l->setBuddy(buddy);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
  };
  lkpEmpresa_ = new TCampoLookup("lkpEmpresa");
  lkpFilial_ = new TCampoLookup("lkpFilial");
  edtDataInicio_ = NovaEdicaoData("edtDataInicio");
  edtDataFim_ = NovaEdicaoData("edtDataFim");

  auto* cabecalho = new QGridLayout;
  cabecalho->addWidget(rotulo("&Empresa:", lkpEmpresa_->Edicao()), 0, 0);
  cabecalho->addWidget(lkpEmpresa_, 0, 1, 1, 4);
  cabecalho->addWidget(rotulo("E&stabelecimento:", lkpFilial_->Edicao()), 1, 0);
  cabecalho->addWidget(lkpFilial_, 1, 1, 1, 4);
  cabecalho->addWidget(rotulo("Data &Inicial:", edtDataInicio_), 2, 0);
  cabecalho->addWidget(edtDataInicio_, 2, 1);
  cabecalho->addWidget(rotulo("Data &Final:", edtDataFim_), 2, 2);
  cabecalho->addWidget(edtDataFim_, 2, 3);
  cabecalho->setColumnStretch(4, 1);

  auto radio = [](const QString& texto, const char* nome) {
    auto* r = new QRadioButton(texto);
    r->setObjectName(nome);
    return r;
  };
  rbTodos_ = radio("Todos", "rbTodos");
  rbICMS_ = radio("ICMS Próprio", "rbICMS");
  rbICMSST_ = radio("ICMS-ST", "rbICMSST");
  rbCustom_ = radio("Selecionar", "rbCustom");
  btnSelecionarImpostos_ = new QToolButton;
  btnSelecionarImpostos_->setObjectName("btnSelecionarImpostos");
  btnSelecionarImpostos_->setText("...");
  btnSelecionarImpostos_->setToolTip("Selecionar Impostos");
  auto* impostos = new QGroupBox("Impostos");
  auto* linhaImpostos = new QHBoxLayout(impostos);
  for (QWidget* w : std::initializer_list<QWidget*>{rbTodos_, rbICMS_, rbICMSST_, rbCustom_, btnSelecionarImpostos_})
    linhaImpostos->addWidget(w);
  linhaImpostos->addStretch();
  const std::pair<QRadioButton*, TEscolhaImpostos> radios[] = {{rbTodos_, TEscolhaImpostos::Todos},
                                                               {rbICMS_, TEscolhaImpostos::ICMS},
                                                               {rbICMSST_, TEscolhaImpostos::ICMSST},
                                                               {rbCustom_, TEscolhaImpostos::Custom}};
  for (const auto& [r, escolha] : radios)
    connect(r, &QRadioButton::clicked, this, [this, e = escolha] { Executar([&] { form_->rbTodosClick(e); }); });
  connect(btnSelecionarImpostos_, &QToolButton::clicked, this,
          [this] { Executar([&] { form_->btnSelecionarImpostosClick(); }); });

  auto caixa = [this](const TCaixa& c, const char* nome) {
    auto* k = new QCheckBox(QString::fromStdString(c.Caption));
    k->setObjectName(nome);
    connect(k, &QCheckBox::clicked, this, [this] { LerTela(); });
    return k;
  };
  chkContabilizar_ = caixa(form_->chkContabilizar, "chkContabilizar");
  chkCalcularCIAP_ = caixa(form_->chkCalcularCIAP, "chkCalcularCIAP");
  chkSemMovimento_ = caixa(form_->chkSemMovimento, "chkSemMovimento");
  chkDetalharSufixoCfop_ = caixa(form_->chkDetalharSufixoCfop, "chkDetalharSufixoCfop");
  chkNaoImprimirDescricaoCFOP_ = caixa(form_->chkNaoImprimirDescricaoCFOP, "chkNaoImprimirDescricaoCFOP");
  chkImpressaoFrenteVerso_ = caixa(form_->chkImpressaoFrenteVerso, "chkImpressaoFrenteVerso");
  chkRodape_ = caixa(form_->chkRodape, "chkRodape");
  chkImpressaoDefinitiva_ = caixa(form_->chkImpressaoDefinitiva, "chkImpressaoDefinitiva");
  connect(chkImpressaoDefinitiva_, &QCheckBox::clicked, this,
          [this] { Executar([&] { form_->chkImpressaoDefinitivaClick(); }); });
  auto numero = [](const char* nome) {
    auto* e = new QLineEdit;
    e->setObjectName(nome);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,9}"), e));
    e->setMaximumWidth(80);
    e->setAlignment(Qt::AlignRight);
    return e;
  };
  edtNumLivro_ = numero("edtNumLivro");
  edtNumPagina_ = numero("edtNumPagina");
  lblLivro_ = rotulo("&Livro:", edtNumLivro_);
  lblLivro_->setObjectName("lblLivro");
  lblPagina_ = rotulo("&Página:", edtNumPagina_);
  lblPagina_->setObjectName("lblPagina");

  auto* opcoes = new QGroupBox("Opções");
  auto* gradeOpcoes = new QGridLayout(opcoes);
  const QCheckBox* ordem[] = {chkContabilizar_,       chkCalcularCIAP_,   chkSemMovimento_,
                              chkDetalharSufixoCfop_, chkNaoImprimirDescricaoCFOP_,
                              chkImpressaoFrenteVerso_, chkRodape_,       chkImpressaoDefinitiva_};
  for (int i = 0; i < 8; ++i) gradeOpcoes->addWidget(const_cast<QCheckBox*>(ordem[i]), i % 4, i / 4);
  auto* numeracao = new QHBoxLayout;
  numeracao->addWidget(lblLivro_);
  numeracao->addWidget(edtNumLivro_);
  numeracao->addWidget(lblPagina_);
  numeracao->addWidget(edtNumPagina_);
  numeracao->addStretch();
  gradeOpcoes->addLayout(numeracao, 4, 1);

  rbSextos_ = radio("Sextos", "rbSextos");
  rbOitavos_ = radio("Oitavos", "rbOitavos");
  auto* formato = new QGroupBox("Formato de Impressão:");
  auto* linhaFormato = new QHBoxLayout(formato);
  linhaFormato->addWidget(rbSextos_);
  linhaFormato->addWidget(rbOitavos_);
  linhaFormato->addStretch();
  connect(rbSextos_, &QRadioButton::clicked, this, [this] { LerTela(); });
  connect(rbOitavos_, &QRadioButton::clicked, this, [this] { LerTela(); });

  actImprimir_ = new QAction("&Imprimir", this);
  actImprimir_->setObjectName("ActImprimir");
  actImprimir_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  actImprimir_->setShortcutContext(Qt::WindowShortcut);
  connect(actImprimir_, &QAction::triggered, this, [this] { Imprimir([this] { return form_->ActImprimirExecute(); }); });
  addAction(actImprimir_);
  actObservacoes_ = new QAction("&Observações", this);
  actObservacoes_->setObjectName("ActObservacoes");
  connect(actObservacoes_, &QAction::triggered, this, [this] {
    lkpFilial_->ConfirmarCodigo();
    if (FilialInformada()) Executar([&] { form_->ActObservacoesExecute(); });
  });
  btnImprimir_ = new QPushButton("&Imprimir");
  btnImprimir_->setObjectName("btnImprimir");
  btnImprimir_->setToolTip("Imprimir (Ctrl+I)");
  connect(btnImprimir_, &QPushButton::clicked, actImprimir_, &QAction::trigger);
  btnObservacoes_ = new QPushButton("&Observações");
  btnObservacoes_->setObjectName("btnObservacoes");
  connect(btnObservacoes_, &QPushButton::clicked, actObservacoes_, &QAction::trigger);
  btnSair_ = new QPushButton("Sai&r");
  btnSair_->setObjectName("btnSair");
  connect(btnSair_, &QPushButton::clicked, this, &TFormularioLivro::sair);
  for (QPushButton* b : {btnImprimir_, btnObservacoes_, btnSair_}) b->setAutoDefault(false);
  auto* botoes = new QHBoxLayout;
  botoes->addWidget(btnImprimir_);
  botoes->addWidget(btnObservacoes_);
  botoes->addStretch();
  botoes->addWidget(btnSair_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(cabecalho);
  layout->addWidget(impostos);
  layout->addWidget(opcoes);
  layout->addWidget(formato);
  layout->addStretch();
  layout->addLayout(botoes);

  connect(lkpEmpresa_, &TCampoLookup::codigoDigitado, this, [this](const QString& c) {
    BuscarCodigo(TControle::lkpEmpresa, [&] { return form_->BuscarEmpresaPorCodigo(c.toStdString()); });
  });
  connect(lkpEmpresa_, &TCampoLookup::pesquisar, this, &TFormularioLivro::PesquisarEmpresa);
  // Leaving the company field, after a typed code was searched.
  connect(lkpEmpresa_->Edicao(), &QLineEdit::editingFinished, this, [this] {
    if (!validando_) Executar([&] { form_->lkpEmpresaExit(); });
  });
  connect(lkpFilial_, &TCampoLookup::codigoDigitado, this, [this](const QString& c) {
    BuscarCodigo(TControle::lkpFilial, [&] { return form_->BuscarFilialPorCodigo(c.toStdString()); });
  });
  connect(lkpFilial_, &TCampoLookup::pesquisar, this, &TFormularioLivro::PesquisarFilial);

  // Screen order is tab order; every input reports its keys and its leaving to the form.
  QWidget* ordemTab[] = {lkpEmpresa_->Edicao(), lkpFilial_->Edicao(), edtDataInicio_, edtDataFim_, rbTodos_, rbICMS_,
                         rbICMSST_, rbCustom_, btnSelecionarImpostos_, chkContabilizar_, chkCalcularCIAP_,
                         chkSemMovimento_, chkDetalharSufixoCfop_, chkNaoImprimirDescricaoCFOP_,
                         chkImpressaoFrenteVerso_, chkRodape_, chkImpressaoDefinitiva_, edtNumLivro_, edtNumPagina_,
                         rbSextos_, rbOitavos_, btnImprimir_, btnObservacoes_, btnSair_};
  for (size_t i = 0; i < std::size(ordemTab); ++i) {
    ordemTab[i]->installEventFilter(this);
    if (i > 0) setTabOrder(ordemTab[i - 1], ordemTab[i]);
  }
}

QWidget* TFormularioLivro::Widget(TControle controle) const {
  switch (controle) {
    case TControle::lkpEmpresa: return lkpEmpresa_->Edicao();
    case TControle::lkpFilial: return lkpFilial_->Edicao();
    case TControle::edtDataInicio: return edtDataInicio_;
    case TControle::edtDataFim: return edtDataFim_;
    case TControle::rbTodos: return rbTodos_;
    case TControle::rbICMS: return rbICMS_;
    case TControle::rbICMSST: return rbICMSST_;
    case TControle::rbCustom: return rbCustom_;
    case TControle::btnSelecionarImpostos: return btnSelecionarImpostos_;
    case TControle::chkImpressaoDefinitiva: return chkImpressaoDefinitiva_;
    case TControle::edtNumLivro: return edtNumLivro_;
    case TControle::edtNumPagina: return edtNumPagina_;
    case TControle::rbSextos: return rbSextos_;
    case TControle::rbOitavos: return rbOitavos_;
    default: return nullptr;
  }
}

std::vector<std::pair<TCaixa*, QCheckBox*>> TFormularioLivro::Caixas() {
  return {{&form_->chkContabilizar, chkContabilizar_},
          {&form_->chkCalcularCIAP, chkCalcularCIAP_},
          {&form_->chkSemMovimento, chkSemMovimento_},
          {&form_->chkDetalharSufixoCfop, chkDetalharSufixoCfop_},
          {&form_->chkNaoImprimirDescricaoCFOP, chkNaoImprimirDescricaoCFOP_},
          {&form_->chkImpressaoFrenteVerso, chkImpressaoFrenteVerso_},
          {&form_->chkRodape, chkRodape_},
          {&form_->chkImpressaoDefinitiva, chkImpressaoDefinitiva_}};
}

QVariantMap TFormularioLivro::Pedido() {
  LerTela();
  QVariantMap p;
  p["inicio"] = QString::fromStdString(form_->edtDataInicio.Text);
  p["fim"] = QString::fromStdString(form_->edtDataFim.Text);
  p["impostos"] = static_cast<int>(form_->rbImpostos);
  for (const auto& [c, k] : Caixas())
    if (k != chkImpressaoDefinitiva_) p[k->objectName()] = c->Checked;
  p["sextos"] = form_->rbSextos;
  return p;
}

void TFormularioLivro::RestaurarPedido(const QVariantMap& p) {
  if (p.isEmpty()) return;
  Executar([&] {
    // The start date as if typed with Enter (the establishment's period), then the end kept.
    form_->edtDataInicio.Text = p.value("inicio").toString().toStdString();
    form_->edtDataInicioKeyDown(TTecla::Enter);
    form_->edtDataFim.Text = p.value("fim").toString().toStdString();
    // A selection of taxes is not kept: it would open its dialog now.
    const auto impostos = static_cast<TEscolhaImpostos>(p.value("impostos").toInt());
    if (impostos != TEscolhaImpostos::Custom) form_->rbTodosClick(impostos);
    for (const auto& [c, k] : Caixas())
      if (c->Enabled && p.contains(k->objectName())) c->Checked = p.value(k->objectName()).toBool();
    form_->rbSextos = p.value("sextos").toBool();
    form_->rbOitavos = !form_->rbSextos;
  });
}

void TFormularioLivro::LerTela() {
  form_->edtDataInicio.Text = TextoData(edtDataInicio_);
  form_->edtDataFim.Text = TextoData(edtDataFim_);
  for (const auto& [c, k] : Caixas()) c->Checked = k->isChecked();
  form_->edtNumLivro.Text = edtNumLivro_->text().toStdString();
  form_->edtNumPagina.Text = edtNumPagina_->text().toStdString();
  form_->rbSextos = rbSextos_->isChecked();
  form_->rbOitavos = rbOitavos_->isChecked();
}

void TFormularioLivro::MostrarTela() {
  const TForm58140& f = *form_;
  lkpEmpresa_->SetRegistro(QString::fromStdString(f.lkpEmpresa.Codigo), QString::fromStdString(f.lkpEmpresa.Descricao));
  lkpFilial_->SetRegistro(QString::fromStdString(f.lkpFilial.Codigo), QString::fromStdString(f.lkpFilial.Descricao));
  edtDataInicio_->setText(QString::fromStdString(f.edtDataInicio.Text));
  edtDataFim_->setText(QString::fromStdString(f.edtDataFim.Text));
  rbTodos_->setChecked(f.rbImpostos == TEscolhaImpostos::Todos);
  rbICMS_->setChecked(f.rbImpostos == TEscolhaImpostos::ICMS);
  rbICMSST_->setChecked(f.rbImpostos == TEscolhaImpostos::ICMSST);
  rbCustom_->setChecked(f.rbImpostos == TEscolhaImpostos::Custom);
  btnSelecionarImpostos_->setEnabled(f.btnSelecionarImpostosEnabled);
  for (const auto& [c, k] : Caixas()) {
    k->setChecked(c->Checked);
    k->setEnabled(c->Enabled);
  }
  edtNumLivro_->setText(QString::fromStdString(f.edtNumLivro.Text));
  edtNumLivro_->setEnabled(f.edtNumLivro.Enabled);
  lblLivro_->setEnabled(f.edtNumLivro.Enabled);
  edtNumPagina_->setText(QString::fromStdString(f.edtNumPagina.Text));
  edtNumPagina_->setEnabled(f.edtNumPagina.Enabled);
  lblPagina_->setEnabled(f.edtNumPagina.Enabled);
  rbSextos_->setChecked(f.rbSextos);
  rbOitavos_->setChecked(f.rbOitavos);
  actImprimir_->setEnabled(f.ActImprimirEnabled);
  btnImprimir_->setEnabled(f.ActImprimirEnabled);
}

void TFormularioLivro::Focar(TControle controle) {
  if (QWidget* w = Widget(controle)) {
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  }
}

bool TFormularioLivro::Executar(const std::function<void()>& manipulador) {
  LerTela();
  form_->Foco = TControle::Nenhum;
  validando_ = true;
  const bool ok = ExecutarManipulador(window(), manipulador);
  validando_ = false;
  MostrarTela();
  // After the event being handled: a check that fails while the focus is leaving a field must win
  // over the field the focus was going to.
  if (form_->Foco != TControle::Nenhum) QTimer::singleShot(0, this, [this, c = form_->Foco] { Focar(c); });
  return ok;
}

void TFormularioLivro::BuscarCodigo(TControle campo, const std::function<bool()>& buscar) {
  bool achou = true;
  Executar([&] { achou = buscar(); });
  // The code that named nothing is the one to fix: the focus stays, whatever key left the field.
  if (!achou) QTimer::singleShot(0, this, [this, campo] { Focar(campo); });
}

bool TFormularioLivro::FilialInformada() {
  if (form_->lkpFilial.Id > 0) return true;
  TInteracaoQt(window()).ExibirMensagem("Informe o estabelecimento.", TTipoMensagem::Aviso);
  QTimer::singleShot(0, this, [this] { Focar(TControle::lkpFilial); });
  return false;
}

bool TFormularioLivro::ConfirmarDefinitiva() {
  const std::string texto = "Imprimir o livro definitivo?\r\rLivro: " + std::to_string(modulo_.FLivro) +
                            "\rPrimeira folha: " + std::to_string(modulo_.FPagina) + "\rPeríodo: " +
                            DataBR(modulo_.FDataInicio) + " a " + DataBR(modulo_.FDataFim);
  definitivaRecusada_ = !TInteracaoQt(window()).PerguntarSimNao(texto, "Confirmação", false);
  return !definitivaRecusada_;
}

void TFormularioLivro::PesquisarEmpresa() {
  TDialogoPesquisa pesquisa(FormPrincipal->Conexao(), form_->PesquisaEmpresa(), window());
  if (pesquisa.exec() != QDialog::Accepted) return;
  Executar([&] {
    form_->BuscarEmpresa(pesquisa.Id());
    form_->lkpEmpresaExit();
  });
}

void TFormularioLivro::PesquisarFilial() {
  LerTela();
  TDialogoPesquisa pesquisa(FormPrincipal->Conexao(), form_->PesquisaFilial(), window());
  if (pesquisa.exec() != QDialog::Accepted) return;
  Executar([&] { form_->BuscarFilial(pesquisa.Id()); });
}

namespace {
std::string Iso(TDateTime d) { return d > 0 ? DataISO(d) : std::string("?"); }
}  // namespace

void TFormularioLivro::Imprimir(const std::function<bool()>& acao) {
  if (imprimindo_) return;
  lkpEmpresa_->ConfirmarCodigo();
  if (lkpEmpresa_->Edicao()->hasFocus()) Executar([&] { form_->lkpEmpresaExit(); });
  lkpFilial_->ConfirmarCodigo();
  if (!FilialInformada()) return;
  imprimindo_ = true;
  TDialogoProgresso progresso(window());
  modulo_.GetApuracao().OnAntesDeCalcular = [&progresso](const TResumo& r, int i, int n) {
    progresso.AntesDeCalcular(r, i, n);
  };
  modulo_.Prn().OnVisualizar = [this, &progresso](impressao::TQDprint& prn) -> std::optional<std::string> {
    progresso.hide();
    TVisualizacao preview(prn, window());
    preview.SetNomeSugerido(QString::fromStdString("livro-icms-" + std::to_string(modulo_.FIdFilial) + "-" +
                                                   Iso(modulo_.FDataInicio) + "-a-" + Iso(modulo_.FDataFim)));
    preview.exec();
    return preview.Destino();
  };
  bool impresso = false, concluido = false;
  definitivaRecusada_ = false;
  const bool ok = Executar([&] {
    try {
      impresso = acao();
      concluido = true;
    } catch (const EAbortarSilencioso&) {
      emit mensagem("Apuração interrompida pelo usuário.");
    } catch (...) {
      progresso.hide();
      throw;
    }
  });
  modulo_.GetApuracao().OnAntesDeCalcular = nullptr;
  modulo_.Prn().OnVisualizar = nullptr;
  progresso.close();
  imprimindo_ = false;
  if (!ok || !concluido) return;
  if (definitivaRecusada_) {
    emit mensagem("Impressão definitiva não confirmada: nada foi apurado nem impresso.");
    return;
  }
  const int resumos = modulo_.GetApuracao().GetResumos().Count();
  if (resumos == 0) {
    emit mensagem("Nenhum período de apuração completo no intervalo: nenhum livro foi impresso.");
  } else if (impresso) {
    emit mensagem(QString("Livro impresso: %1 página(s), livro %2, próxima página %3 - %4.")
                      .arg(modulo_.GetUltimaPagina())
                      .arg(modulo_.FLivro)
                      .arg(modulo_.FPagina)
                      .arg(QString::fromStdString(modulo_.Prn().NomeImpressora())));
  } else {
    emit mensagem(QString("O livro não foi impresso nem gravado; a apuração ficou registrada%1.")
                      .arg(modulo_.FImpressaoDefinitiva ? " e a numeração do livro definitivo não" : ""));
  }
}

bool TFormularioLivro::SaidaDeCampo(QObject* objeto) {
  if (objeto == edtDataInicio_) return Executar([&] { form_->edtDataInicioExit(); });
  if (objeto == edtDataFim_) return Executar([&] { form_->ValidarCampos(TControle::edtDataFim); });
  if (objeto == edtNumLivro_) return Executar([&] { form_->ValidarCampos(TControle::edtNumLivro); });
  if (objeto == edtNumPagina_) return Executar([&] { form_->ValidarCampos(TControle::edtNumPagina); });
  return true;
}

bool TFormularioLivro::eventFilter(QObject* objeto, QEvent* evento) {
  if (evento->type() == QEvent::FocusOut && !validando_ && !imprimindo_ &&
      SaiuDoCampo(static_cast<QFocusEvent*>(evento))) {
    auto* campo = qobject_cast<QWidget*>(objeto);
    if (!SaidaDeCampo(objeto) && form_->Foco == TControle::Nenhum)
      QTimer::singleShot(0, campo, [campo] { campo->setFocus(Qt::OtherFocusReason); });
    return QWidget::eventFilter(objeto, evento);
  }
  if (evento->type() != QEvent::KeyPress) return QWidget::eventFilter(objeto, evento);
  const auto* tecla = static_cast<QKeyEvent*>(evento);
  if (tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QWidget::eventFilter(objeto, evento);
  const TTecla t = TeclaDe(tecla->key());
  if (objeto == edtDataInicio_ && TeclaConfirma(t)) {
    if (Executar([&] { form_->edtDataInicioKeyDown(t); })) ProximoCampo(edtDataInicio_);
    return true;
  }
  if (objeto == chkImpressaoDefinitiva_ && TeclaConfirma(t)) {
    Executar([&] { form_->chkImpressaoDefinitivaKeyDown(t); });
    if (t == TTecla::Enter) ProximoCampo(chkImpressaoDefinitiva_);
    return true;
  }
  if ((objeto == rbSextos_ || objeto == rbOitavos_) && TeclaConfirma(t)) {
    // A key never changes the spacing: the book prints in the one chosen, wherever the key was.
    Imprimir([&] { return form_->rbOitavosKeyDown(t); });
    return true;
  }
  if (t == TTecla::Enter && qobject_cast<QPushButton*>(objeto) == nullptr) {
    // Enter moves on, as in every form of the host.
    ProximoCampo(qobject_cast<QWidget*>(objeto));
    return true;
  }
  return QWidget::eventFilter(objeto, evento);
}
