#include "janelaprincipal.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <filesystem>

#include "dialogoarquivo.h"
#include "dialogoservidor.h"
#include "formulariolivro.h"
#include "host/banco/motor.h"
#include "host/host.h"
#include "interacaoqt.h"
#include "relatorio/livroicms.h"

namespace {
constexpr int kMaximoRecentes = 6;

bool EhServidor(const QString& alvo) { return banco::TBanco::EhServidor(alvo.toStdString()); }

// How an office is named in the settings, the recent list and the window: a file by its absolute
// path, a server by its URI without the password.
QString NomeDoEscritorio(const QString& alvo) {
  return EhServidor(alvo) ? QString::fromStdString(banco::TBanco::SemSenha(alvo.toStdString(), ""))
                          : QFileInfo(alvo).absoluteFilePath();
}

// The company and establishment the form opens on: those the form showed last in this office,
// else the first head office.
std::pair<int32_t, int64_t> FilialInicial(TQDConnection& conexao, const QString& arquivo) {
  QSettings config;
  const QString chave = "filial/" + NomeDoEscritorio(arquivo);
  if (config.contains(chave)) {
    const int64_t id = config.value(chave).toLongLong();
    TQDSQLQuery q(conexao);
    q.SetSQL("SELECT IDEMPRESA FROM SC00_FILIAL WHERE IDFILIAL = " + std::to_string(id));
    q.Open();
    if (!q.Eof()) return {q.FieldByName("IDEMPRESA").AsInteger(), id};
  }
  TQDSQLQuery q(conexao);
  q.SetSQL("SELECT IDEMPRESA, IDFILIAL FROM SC00_FILIAL ORDER BY EHMATRIZ DESC, IDEMPRESA, IDFILIAL LIMIT 1");
  q.Open();
  if (q.Eof()) return {0, 0};
  return {q.FieldByName("IDEMPRESA").AsInteger(), q.FieldByName("IDFILIAL").AsLargeInt()};
}
}  // namespace

TJanelaPrincipal::TJanelaPrincipal() : interacao_(std::make_unique<TInteracaoQt>(this)) {
  setObjectName("JanelaPrincipal");
  resize(760, 560);
  banco_ = new QLabel;
  statusBar()->addPermanentWidget(banco_);
  MontarMenus();
  MostrarSemEscritorio();
  dialogoarquivo::PrepararImpressao(this);  // no office is open yet
}

TJanelaPrincipal::~TJanelaPrincipal() { Liberar(); }

void TJanelaPrincipal::MontarMenus() {
  QMenu* arquivo = menuBar()->addMenu("&Arquivo");
  QAction* abrir = arquivo->addAction("&Abrir escritório...", this, &TJanelaPrincipal::PedirArquivo);
  abrir->setShortcut(QKeySequence::Open);
  arquivo->addAction("Abrir &servidor...", this, &TJanelaPrincipal::PedirServidor);
  recentes_ = arquivo->addMenu("Escritórios &recentes");
  arquivo->addAction("Criar escritório de &demonstração...", this, &TJanelaPrincipal::PedirDemonstracao);
  arquivo->addSeparator();
  arquivo->addAction("Sai&r", this, &QWidget::close)->setShortcut(QKeySequence::Quit);

  QMenu* livro = menuBar()->addMenu("&Livro");
  // Ctrl+I belongs to the form's own print action; the menu only shows it.
  actImprimir_ = livro->addAction("&Imprimir\tCtrl+I");
  actObservacoes_ = livro->addAction("&Observações");
  livro->addSeparator();
  actAcentos_ = livro->addAction("Imprimir com &acentos");
  actAcentos_->setCheckable(true);
  actAcentos_->setToolTip("Sem esta opção o livro sai sem acentos, como nas impressoras para as quais foi desenhado.");
  connect(actImprimir_, &QAction::triggered, this, [this] {
    if (formulario_) formulario_->ActImprimir()->trigger();
  });
  connect(actObservacoes_, &QAction::triggered, this, [this] {
    if (formulario_) formulario_->ActObservacoes()->trigger();
  });
  connect(actAcentos_, &QAction::toggled, this, [this](bool acentos) {
    if (modulo_) modulo_->Prn().SetSemAcento(!acentos);
    QSettings().setValue("acentos", acentos);
  });
  actAcentos_->setChecked(QSettings().value("acentos", false).toBool());

  QMenu* ajuda = menuBar()->addMenu("A&juda");
  ajuda->addAction("&Sobre", this, [this] {
    QMessageBox::about(this, "Sobre",
                       "<b>Livro Registro de Apuração do ICMS</b> (modelo P9)<br>"
                       "Apuração do ICMS por estabelecimento e período, e o livro de apuração.<br>"
                       "Os mesmos cálculos e o mesmo livro do programa de linha de comando livro-icms.");
  });
  AtualizarRecentes();
}

void TJanelaPrincipal::MostrarSemEscritorio() {
  auto* aviso = new QLabel("Abra um escritório (Arquivo > Abrir escritório... ou Abrir servidor...) ou crie o "
                           "escritório de demonstração (Arquivo > Criar escritório de demonstração...).");
  aviso->setWordWrap(true);
  aviso->setAlignment(Qt::AlignCenter);
  aviso->setMargin(40);
  setCentralWidget(aviso);
  setWindowTitle("Livro Registro de Apuração do ICMS");
  banco_->setText("Nenhum escritório aberto");
  actImprimir_->setEnabled(false);
  actObservacoes_->setEnabled(false);
}

void TJanelaPrincipal::Liberar() {
  LembrarPedido();
  // The form and the module use the host's services: they go before it, the connection last.
  if (formulario_) {
    delete takeCentralWidget();
    formulario_ = nullptr;
  }
  modulo_.reset();
  host_.reset();
  conexao_.reset();
  arquivo_.clear();
}

void TJanelaPrincipal::FecharEscritorio() {
  if (!host_) return;
  Liberar();
  MostrarSemEscritorio();
}

bool TJanelaPrincipal::AbrirEscritorio(const QString& arquivo) {
  std::unique_ptr<TQDConnection> conexao;
  try {
    conexao = TQDConnection::Abrir(arquivo.toStdString());
  } catch (const std::exception& e) {
    QMessageBox::critical(this, "Erro", "Não foi possível abrir o escritório " +
                                            QString::fromStdString(banco::TBanco::SemSenha(arquivo.toStdString())) +
                                            ":\n" + TextoTela(e.what()));
    return false;
  }
  FecharEscritorio();
  conexao_ = std::move(conexao);
  host_ = std::make_unique<THost>(*conexao_, *interacao_);
  const auto [empresa, filial] = FilialInicial(*conexao_, arquivo);
  FormPrincipal->IdEmpresaAtual = empresa;
  FormPrincipal->IdFilialAtual = filial;
  modulo_ = std::make_unique<TdmLivroICMS>();
  modulo_->Prn().SetSemAcento(!actAcentos_->isChecked());
  arquivo_ = NomeDoEscritorio(arquivo);
  try {
    formulario_ = new TFormularioLivro(*modulo_);
  } catch (const std::exception& e) {
    QMessageBox::critical(this, "Erro", TextoTela(e.what()));
    FecharEscritorio();
    return false;
  }
  formulario_->RestaurarPedido(QSettings().value("pedido/" + arquivo_).toMap());
  setCentralWidget(formulario_);
  connect(formulario_, &TFormularioLivro::mensagem, this, [this](const QString& m) { statusBar()->showMessage(m); });
  connect(formulario_, &TFormularioLivro::sair, this, &QWidget::close);
  setWindowTitle(
      QString("%1 - %2").arg(TForm58140::kCaption, EhServidor(arquivo_) ? arquivo_ : QFileInfo(arquivo_).fileName()));
  banco_->setText(arquivo_);
  actImprimir_->setEnabled(true);
  actObservacoes_->setEnabled(true);

  QSettings config;
  QStringList lista = config.value("recentes").toStringList();
  lista.removeAll(arquivo_);
  lista.prepend(arquivo_);
  while (lista.size() > kMaximoRecentes) lista.removeLast();
  config.setValue("recentes", lista);
  AtualizarRecentes();
  statusBar()->showMessage("Escritório aberto: " + arquivo_, 5000);
  return true;
}

bool TJanelaPrincipal::CriarDemonstracao(const QString& arquivo) {
  try {
    auto c = TQDConnection::Criar(arquivo.toStdString());
    try {
      c->CarregarDemo();
    } catch (...) {
      c.reset();
      std::filesystem::remove(arquivo.toStdString());
      throw;
    }
  } catch (const std::exception& e) {
    QMessageBox::critical(this, "Erro", "Não foi possível criar o escritório " + arquivo + ":\n" + TextoTela(e.what()));
    return false;
  }
  return AbrirEscritorio(arquivo);
}

void TJanelaPrincipal::PedirArquivo() {
  const QString arquivo =
      dialogoarquivo::Abrir(this, "Abrir escritório", "Escritórios (*.db *.sqlite);;Todos os arquivos (*)");
  if (!arquivo.isEmpty()) AbrirEscritorio(arquivo);
}

void TJanelaPrincipal::PedirServidor() {
  TDialogoServidor dialogo(this);
  if (dialogo.exec() == QDialog::Accepted) AbrirEscritorio(dialogo.Alvo());
}

void TJanelaPrincipal::PedirDemonstracao() {
  const QString arquivo = dialogoarquivo::Salvar(this, "Criar escritório de demonstração", "demo.db",
                                                 "Escritórios (*.db)", QFileDialog::DontConfirmOverwrite);
  if (arquivo.isEmpty()) return;
  if (QFileInfo::exists(arquivo)) {
    QMessageBox::warning(this, "Aviso", "O arquivo " + arquivo + " já existe; escolha um nome novo.");
    return;
  }
  CriarDemonstracao(arquivo);
}

void TJanelaPrincipal::AtualizarRecentes() {
  recentes_->clear();
  const QStringList lista = QSettings().value("recentes").toStringList();
  for (const QString& a : lista) recentes_->addAction(a, this, [this, a] { AbrirEscritorio(a); });
  recentes_->setEnabled(!lista.isEmpty());
}

void TJanelaPrincipal::LembrarPedido() {
  if (!formulario_ || arquivo_.isEmpty()) return;
  const int64_t filial = formulario_->Formulario().lkpFilial.Id;
  if (filial > 0) QSettings().setValue("filial/" + arquivo_, static_cast<qlonglong>(filial));
  QSettings().setValue("pedido/" + arquivo_, formulario_->Pedido());
}

void TJanelaPrincipal::closeEvent(QCloseEvent* evento) {
  LembrarPedido();
  evento->accept();
}
