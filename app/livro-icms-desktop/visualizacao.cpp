#include "visualizacao.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "dialogoarquivo.h"
#include "folhalivro.h"
#include "host/base/texto.h"
#include "host/impressao/motorimpressao.h"

using impressao::TPapel;

namespace {

// Text compared the way the search compares it: no accents, upper case; one character per column.
std::u32string Normalizado(const std::string& s) { return texto::ParaU32(texto::Maiusculas(texto::SemAcento(s))); }

// Zoom choices; 0 fits the sheet's width to the window.
constexpr double kZooms[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0};
const char* const kChaveZoom = "visualizacao/zoom";

}  // namespace

TVisualizacao::TVisualizacao(const impressao::TQDprint& prn, QWidget* pai)
    : QDialog(pai), prn_(prn), folha_(new TFolhaLivro), rolagem_(new QScrollArea), numero_(new QSpinBox),
      total_(new QLabel), zoom_(new QComboBox), papel_(new QComboBox), busca_(new QLineEdit), situacao_(new QLabel) {
  setWindowTitle("Preview");
  setObjectName("dlgVisualizacao");
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  // As large as the screen it opens on allows, up to a comfortable size: on a small screen the
  // buttons and the status line stay in sight.
  const QRect tela = (pai ? pai->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::min(1100, tela.width() * 19 / 20), std::min(820, tela.height() * 9 / 10));

  auto* barra = new QToolBar;
  auto acao = [this, barra](const QString& texto, QKeySequence atalho, auto slot, const char* nome,
                            QStyle::StandardPixmap icone = QStyle::SP_CustomBase) {
    auto* a = new QAction(texto, this);
    if (icone != QStyle::SP_CustomBase) a->setIcon(style()->standardIcon(icone));
    a->setObjectName(nome);
    if (!atalho.isEmpty()) a->setShortcut(atalho);
    a->setToolTip(atalho.isEmpty() ? texto : texto + " (" + atalho.toString(QKeySequence::NativeText) + ")");
    connect(a, &QAction::triggered, this, slot);
    barra->addAction(a);
    return a;
  };
  acao("Primeira", QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { IrPara(1); }, "actPrimeira",
       QStyle::SP_MediaSkipBackward);
  acao("Anterior", QKeySequence(Qt::Key_PageUp), [this] { IrPara(Pagina() - 1); }, "actAnterior",
       QStyle::SP_ArrowBack);
  numero_->setObjectName("spnPagina");
  numero_->setRange(1, std::max(1, Paginas()));
  numero_->setPrefix("Página ");
  barra->addWidget(numero_);
  total_->setText(QString(" de %1 ").arg(Paginas()));
  barra->addWidget(total_);
  connect(numero_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int n) { IrPara(n); });
  acao("Próxima", QKeySequence(Qt::Key_PageDown), [this] { IrPara(Pagina() + 1); }, "actProxima",
       QStyle::SP_ArrowForward);
  acao("Última", QKeySequence(Qt::CTRL | Qt::Key_End), [this] { IrPara(Paginas()); }, "actUltima",
       QStyle::SP_MediaSkipForward);
  barra->addSeparator();

  zoom_->setObjectName("cmbZoom");
  zoom_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  zoom_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  for (double z : kZooms) zoom_->addItem(QString("%1%").arg(static_cast<int>(z * 100)), z);
  zoom_->addItem("Largura da página", 0.0);
  connect(zoom_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { SetZoom(zoom_->currentData().toDouble()); });
  acao("−", QKeySequence::ZoomOut, [this] { SetZoom(std::max(0.25, Zoom() / 1.25)); }, "actReduzir")
      ->setToolTip("Reduzir (Ctrl+-)");
  barra->addWidget(zoom_);
  acao("+", QKeySequence::ZoomIn, [this] { SetZoom(std::min(4.0, Zoom() * 1.25)); }, "actAmpliar")
      ->setToolTip("Ampliar (Ctrl++)");
  barra->addSeparator();

  busca_->setObjectName("edtLocalizar");
  busca_->setPlaceholderText("Localizar no livro");
  busca_->setClearButtonEnabled(true);
  busca_->setFixedWidth(190);
  busca_->setToolTip("Enter localiza; F3 localiza a próxima; Ctrl+F volta aqui");
  barra->addWidget(busca_);
  connect(busca_, &QLineEdit::returnPressed, this, [this] { Localizar(busca_->text()); });
  connect(busca_, &QLineEdit::textEdited, this, [this] { achadoPagina_ = -1; });
  auto* proxima = new QAction(this);
  proxima->setObjectName("actLocalizar");
  proxima->setShortcut(QKeySequence::FindNext);
  connect(proxima, &QAction::triggered, this, [this] { Localizar(busca_->text()); });
  addAction(proxima);
  auto* focoBusca = new QAction(this);
  focoBusca->setShortcut(QKeySequence::Find);
  connect(focoBusca, &QAction::triggered, this, [this] {
    busca_->setFocus();
    busca_->selectAll();
  });
  addAction(focoBusca);
  barra->addSeparator();

  acao("&Imprimir...", QKeySequence::Print, &TVisualizacao::PedirImpressao, "actImprimir");
  acao("Salvar &PDF...", QKeySequence::Save, &TVisualizacao::PedirPdf, "actSalvarPdf");
  acao("Salvar &texto...", QKeySequence(), &TVisualizacao::PedirTexto, "actSalvarTexto");
  papel_->setObjectName("cmbPapel");
  papel_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  papel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  papel_->addItem("A4", static_cast<int>(TPapel::A4));
  papel_->addItem("Carta", static_cast<int>(TPapel::Carta));
  papel_->addItem("Formulário contínuo", static_cast<int>(TPapel::Formulario));
  papel_->setCurrentIndex(papel_->findData(static_cast<int>(prn_.Papel())));
  papel_->setToolTip("Papel do PDF e da impressão");
  barra->addWidget(papel_);

  auto* copiar = new QAction(this);
  copiar->setShortcut(QKeySequence::Copy);
  connect(copiar, &QAction::triggered, this, &TVisualizacao::CopiarPagina);
  addAction(copiar);

  rolagem_->setObjectName("rolagem");
  rolagem_->setBackgroundRole(QPalette::Dark);
  rolagem_->setAlignment(Qt::AlignHCenter);
  rolagem_->setWidget(folha_);
  situacao_->setObjectName("lblSituacao");
  situacao_->setText("O livro ainda não foi impresso nem gravado.");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->addWidget(barra);
  layout->addWidget(rolagem_, 1);
  auto* rodape = new QHBoxLayout;
  rodape->setContentsMargins(8, 0, 8, 0);
  rodape->addWidget(situacao_, 1);
  auto* fechar = new QPushButton("&Fechar");
  fechar->setObjectName("btnFechar");
  fechar->setAutoDefault(false);
  connect(fechar, &QPushButton::clicked, this, &QDialog::reject);
  rodape->addWidget(fechar);
  layout->addLayout(rodape);
  // The page has the keys when the preview opens: Ctrl+C copies it at once (the page number box
  // would take Ctrl+C for its own text).
  rolagem_->setFocusPolicy(Qt::StrongFocus);
  rolagem_->setFocus();
  // The zoom the person chose last; the first time, the sheet at its own size, where the text
  // reads as on paper (fitting the width of a small screen leaves it a few pixels high).
  const double zoom = QSettings().value(kChaveZoom, 1.0).toDouble();
  {
    QSignalBlocker bloqueio(zoom_);
    zoom_->setCurrentIndex(zoom > 0 ? -1 : zoom_->count() - 1);
  }
  SetZoom(zoom);
  Mostrar();
}

TVisualizacao::~TVisualizacao() = default;

int TVisualizacao::Paginas() const { return static_cast<int>(prn_.Paginas().size()); }

void TVisualizacao::IrPara(int pagina) {
  if (Paginas() == 0) return;
  pagina_ = std::clamp(pagina, 1, Paginas()) - 1;
  Mostrar();
}

void TVisualizacao::Mostrar() {
  if (Paginas() == 0) return;
  {
    QSignalBlocker bloqueio(numero_);
    numero_->setValue(pagina_ + 1);
  }
  std::vector<TMarcaPagina> marcas;
  if (achadoPagina_ == pagina_) marcas.push_back(achado_);
  folha_->SetPagina(&prn_.Paginas()[static_cast<size_t>(pagina_)], marcas);
  if (LarguraDaPagina()) SetZoom(0);
}

void TVisualizacao::resizeEvent(QResizeEvent* evento) {
  QDialog::resizeEvent(evento);
  if (LarguraDaPagina()) SetZoom(0);
}

double TVisualizacao::Zoom() const { return folha_->Zoom(); }

// The last choice of the list; a zoom off the list (Ctrl++ and Ctrl+-) shows none and is kept.
bool TVisualizacao::LarguraDaPagina() const { return zoom_->currentIndex() == zoom_->count() - 1; }

void TVisualizacao::SetZoom(double zoom) {
  if (zoom <= 0) {
    // Fit the width: the viewport less room for the vertical scroll bar.
    const int largura = rolagem_->viewport()->width() > 100 ? rolagem_->viewport()->width() : width() - 40;
    zoom = std::max(0.25, (largura - 8) / TFolhaLivro::TamanhoFolha().width());
  } else {
    QSignalBlocker bloqueio(zoom_);
    zoom_->setCurrentIndex(zoom_->findData(zoom));  // none shown for a zoom off the list
  }
  folha_->SetZoom(zoom);
  QSettings().setValue(kChaveZoom, LarguraDaPagina() ? 0.0 : zoom);
}

QString TVisualizacao::TextoPagina(int pagina) const {
  if (pagina < 1 || pagina > Paginas()) return {};
  QStringList linhas;
  for (const std::string& l : prn_.Paginas()[static_cast<size_t>(pagina - 1)].Linhas())
    linhas << QString::fromStdString(l);
  return linhas.join('\n') + '\n';
}

void TVisualizacao::CopiarPagina() {
  QApplication::clipboard()->setText(TextoPagina(Pagina()));
  situacao_->setText(QString("Texto da página %1 copiado.").arg(Pagina()));
}

bool TVisualizacao::Localizar(const QString& texto) {
  const std::u32string procurado = Normalizado(texto.toStdString());
  if (procurado.empty() || Paginas() == 0) return false;
  // From just after the occurrence found last, or from the top of the page shown.
  int pagina = achadoPagina_ >= 0 ? achadoPagina_ : pagina_;
  int linha = achadoPagina_ >= 0 ? achado_.linha : 1;
  size_t desde = achadoPagina_ >= 0 ? static_cast<size_t>(achado_.coluna) : 0;
  for (int volta = 0; volta <= Paginas(); ++volta) {
    const auto linhas = prn_.Paginas()[static_cast<size_t>(pagina)].Linhas();
    for (; linha <= static_cast<int>(linhas.size()); ++linha, desde = 0) {
      const size_t p = Normalizado(linhas[static_cast<size_t>(linha - 1)]).find(procurado, desde);
      if (p == std::u32string::npos) continue;
      achadoPagina_ = pagina;
      achado_ = {linha, static_cast<int>(p) + 1, static_cast<int>(procurado.size())};
      pagina_ = pagina;
      Mostrar();
      const QRectF r = TDesenhoPagina::Celulas(prn_.Paginas()[static_cast<size_t>(pagina)], folha_->Grade(), achado_);
      rolagem_->ensureVisible(static_cast<int>(r.center().x()), static_cast<int>(r.center().y()), 60, 120);
      situacao_->setText(QString("\"%1\": página %2, linha %3.").arg(texto).arg(pagina + 1).arg(linha));
      return true;
    }
    pagina = (pagina + 1) % Paginas();
    linha = 1;
    desde = 0;
  }
  achadoPagina_ = -1;
  Mostrar();
  situacao_->setText(QString("\"%1\" não foi encontrado no livro.").arg(texto));
  return false;
}

TPapel TVisualizacao::Papel() const { return static_cast<TPapel>(papel_->currentData().toInt()); }

QString TVisualizacao::PedirArquivo(const QString& titulo, const QString& extensao, const QString& filtro) {
  QString caminho = dialogoarquivo::Salvar(this, titulo, nomeSugerido_ + extensao, filtro);
  if (!caminho.isEmpty() && !caminho.endsWith(extensao, Qt::CaseInsensitive)) caminho += extensao;
  return caminho;
}

void TVisualizacao::PedirPdf() {
  const QString caminho = PedirArquivo("Salvar o livro em PDF", ".pdf", "PDF (*.pdf)");
  if (!caminho.isEmpty()) SalvarPdf(caminho);
}

void TVisualizacao::PedirTexto() {
  const QString caminho = PedirArquivo("Salvar o livro em texto", ".txt", "Texto (*.txt)");
  if (!caminho.isEmpty()) SalvarTexto(caminho);
}

void TVisualizacao::Registrar(const std::string& destino, const QString& mensagem) {
  destinos_.push_back(destino);
  situacao_->setText(mensagem);
}

bool TVisualizacao::SalvarPdf(const QString& caminho) {
  try {
    prn_.Salvar("", caminho.toStdString(), Papel());
  } catch (const std::exception& e) {
    QMessageBox::critical(this, "Erro", QString::fromStdString(e.what()));
    return false;
  }
  Registrar("Arquivo PDF: " + caminho.toStdString(), "Livro gravado em " + caminho + ".");
  return true;
}

bool TVisualizacao::SalvarTexto(const QString& caminho) {
  try {
    prn_.Salvar(caminho.toStdString(), "", Papel());
  } catch (const std::exception& e) {
    QMessageBox::critical(this, "Erro", QString::fromStdString(e.what()));
    return false;
  }
  Registrar("Arquivo texto: " + caminho.toStdString(), "Livro gravado em " + caminho + ".");
  return true;
}

void TVisualizacao::PedirImpressao() {
  QPrintDialog& dialogo = dialogoarquivo::Impressao();
  QPrinter& impressora = *dialogo.printer();  // the printer and its options of the last print
  impressora.setDocName(QString::fromStdString(prn_.Titulo()));
  impressora.setPrintRange(QPrinter::AllPages);
  impressora.setFromTo(1, Paginas());
  dialogo.setWindowTitle("Configuração da Impressora");
  dialogo.setMinMax(1, Paginas());
  if (dialogo.exec() == QDialog::Accepted) ImprimirEm(impressora);
}

bool TVisualizacao::ImprimirEm(QPrinter& impressora) {
  // The paper of the book: A4 and Letter with 10 mm margins (as the PDF), the continuous form at
  // the printer's own pitch, 20 characters an inch, the lines filling its 11 inches.
  switch (Papel()) {
    case TPapel::A4:
    case TPapel::Carta:
      impressora.setPageSize(QPageSize(Papel() == TPapel::A4 ? QPageSize::A4 : QPageSize::Letter));
      impressora.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
      break;
    case TPapel::Formulario:
      impressora.setPageSize(QPageSize(QSizeF(9.5, 11), QPageSize::Inch, "Formulário contínuo"));
      impressora.setPageMargins(QMarginsF(0.75, 0, 0.75, 0), QPageLayout::Inch);
      break;
  }
  QPainter painter;
  if (!painter.begin(&impressora)) {
    QMessageBox::critical(this, "Erro", "A impressora não pôde ser iniciada.");
    return false;
  }
  const int primeira = impressora.fromPage() > 0 ? impressora.fromPage() : 1;
  const int ultima = impressora.toPage() > 0 ? std::min(impressora.toPage(), Paginas()) : Paginas();
  const QRect area = impressora.pageLayout().paintRectPixels(impressora.resolution());
  for (int p = primeira; p <= ultima; ++p) {
    if (p > primeira) impressora.newPage();
    desenho_.Desenhar(painter, prn_.Paginas()[static_cast<size_t>(p - 1)], QRectF(0, 0, area.width(), area.height()));
  }
  painter.end();
  const std::string destino = impressora.outputFormat() == QPrinter::PdfFormat
                                  ? "Arquivo PDF: " + impressora.outputFileName().toStdString()
                                  : impressora.printerName().toStdString();
  Registrar(destino, QString("Livro enviado para %1 (páginas %2 a %3).")
                         .arg(QString::fromStdString(destino)).arg(primeira).arg(ultima));
  return true;
}

std::optional<std::string> TVisualizacao::Destino() const {
  if (destinos_.empty()) return std::nullopt;
  std::string r;
  for (const auto& d : destinos_)
    if (r.find(d) == std::string::npos) r += (r.empty() ? "" : "; ") + d;
  return r;
}
