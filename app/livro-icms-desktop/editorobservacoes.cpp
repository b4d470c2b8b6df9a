#include "editorobservacoes.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "campolookup.h"
#include "dialogopesquisa.h"
#include "edicoes.h"
#include "forms/observacoes.h"
#include "host/host.h"
#include "interacaoqt.h"

TEditorObservacoes::TEditorObservacoes(TForm58140Observacoes& obs, QWidget* pai)
    : QDialog(pai), obs_(obs), lblTitulo_(new QLabel), lkpImposto_(new TCampoLookup("lkpImposto")),
      edtData_(NovaEdicaoData("edtData")), mmoObs_(new QPlainTextEdit), dbgObs_(new QTableWidget),
      btnNovo_(new QPushButton("&Novo")), btnGravar_(new QPushButton("&Gravar")),
      btnExcluir_(new QPushButton("&Excluir")), btnCancelar_(new QPushButton("&Cancelar")),
      btnImprimir_(new QPushButton("&Imprimir")), btnSair_(new QPushButton("Sai&r")) {
  setWindowTitle(TForm58140Observacoes::kCaption);
  setObjectName("Form58140Observacoes");
  resize(640, 520);

  lblTitulo_->setObjectName("lblTitulo");
  lblTitulo_->setAlignment(Qt::AlignCenter);
  QFont negrito = lblTitulo_->font();
  negrito.setBold(true);
  lblTitulo_->setFont(negrito);
  mmoObs_->setObjectName("mmoObs");
  dbgObs_->setObjectName("dbgObs");
  dbgObs_->setColumnCount(3);
  QStringList titulos;
  for (const TColunaGrade& c : TForm58140Observacoes::kColunas) titulos << QString::fromUtf8(c.Titulo);
  dbgObs_->setHorizontalHeaderLabels(titulos);
  dbgObs_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  for (int c = 0; c < 3; ++c) dbgObs_->setColumnWidth(c, TForm58140Observacoes::kColunas[c].Largura);
  dbgObs_->horizontalHeader()->setStretchLastSection(true);
  dbgObs_->verticalHeader()->hide();
  dbgObs_->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbgObs_->setSelectionMode(QAbstractItemView::SingleSelection);
  dbgObs_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  btnImprimir_->setEnabled(false);  // observations are printed in the book, not here
  const std::pair<QPushButton*, const char*> botoes[] = {{btnNovo_, "btnNovo"},         {btnGravar_, "btnGravar"},
                                                         {btnExcluir_, "btnExcluir"},   {btnCancelar_, "btnCancelar"},
                                                         {btnImprimir_, "btnImprimir"}, {btnSair_, "btnSair"}};
  auto* painelBotoes = new QHBoxLayout;
  for (const auto& [b, nome] : botoes) {
    b->setObjectName(nome);
    b->setAutoDefault(false);
    painelBotoes->addWidget(b);
    if (b == btnImprimir_) painelBotoes->addStretch();
  }

  auto* campos = new QHBoxLayout;
  auto* rotuloImposto = new QLabel("I&mposto:");
  rotuloImposto->setBuddy(lkpImposto_->Edicao());
  auto* rotuloData = new QLabel("&Data:");
  rotuloData->setBuddy(edtData_);
  campos->addWidget(rotuloImposto);
  campos->addWidget(lkpImposto_, 1);
  campos->addWidget(rotuloData);
  campos->addWidget(edtData_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitulo_);
  layout->addLayout(campos);
  layout->addWidget(mmoObs_, 1);
  layout->addWidget(dbgObs_, 2);
  layout->addLayout(painelBotoes);

  connect(lkpImposto_, &TCampoLookup::codigoDigitado, this, &TEditorObservacoes::DigitouImposto);
  connect(lkpImposto_, &TCampoLookup::pesquisar, this, &TEditorObservacoes::PesquisarImposto);
  // Leaving the tax field filters the grid by the tax chosen (after a typed code was searched).
  connect(lkpImposto_->Edicao(), &QLineEdit::editingFinished, this, [this] {
    if (!validando_) Executar([&] { obs_.lkpImpostoExit(); });
  });
  connect(dbgObs_, &QTableWidget::cellClicked, this, [this](int linha) { Executar([&] { obs_.Posicionar(linha); }); });
  connect(dbgObs_, &QTableWidget::cellDoubleClicked, this, [this](int linha) {
    Executar([&] {
      obs_.Posicionar(linha);
      obs_.dbgObsDblClick();
    });
  });
  connect(btnNovo_, &QPushButton::clicked, this, &TEditorObservacoes::Novo);
  connect(btnGravar_, &QPushButton::clicked, this, [this] { Executar([&] { obs_.SalvarRegistro(); }); });
  connect(btnExcluir_, &QPushButton::clicked, this, [this] { Executar([&] { obs_.ExcluirRegistro(); }); });
  connect(btnCancelar_, &QPushButton::clicked, this,
          [this] { Executar([&] { obs_.CancelarRegistro(TControle::Nenhum); }); });
  connect(btnSair_, &QPushButton::clicked, this, &TEditorObservacoes::reject);
  for (QWidget* w : std::initializer_list<QWidget*>{lkpImposto_->Edicao(), edtData_, dbgObs_}) w->installEventFilter(this);
  setTabOrder(lkpImposto_->Edicao(), edtData_);
  setTabOrder(edtData_, mmoObs_);

  MostrarTela();
  lkpImposto_->Edicao()->setFocus();
}

void TEditorObservacoes::LerTela() {
  obs_.edtData.Text = TextoData(edtData_);
  if (obs_.Estado() != TEstadoDataSet::dsBrowse) obs_.mmoObs = mmoObs_->toPlainText().toStdString();
}

void TEditorObservacoes::MostrarTela() {
  lblTitulo_->setText(QString::fromStdString(obs_.lblTitulo));
  lkpImposto_->SetRegistro(QString::fromStdString(obs_.lkpImposto.Codigo),
                           QString::fromStdString(obs_.lkpImposto.Descricao));
  edtData_->setText(QString::fromStdString(obs_.edtData.Text));
  const QString texto = QString::fromStdString(obs_.mmoObs);
  if (mmoObs_->toPlainText() != texto) mmoObs_->setPlainText(texto);
  const bool editando = obs_.Estado() != TEstadoDataSet::dsBrowse;
  mmoObs_->setReadOnly(!editando);

  QSignalBlocker bloqueio(dbgObs_);
  const int linhas = obs_.RecordCount();
  dbgObs_->setRowCount(linhas);
  const TObservacao* atual = obs_.Atual();
  const std::vector<TObservacao> visiveis = obs_.Linhas();
  for (int l = 0; l < linhas; ++l) {
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(obs_.dbgObsDrawColumnCell(l, c)));
      if (c < 2) item->setTextAlignment(Qt::AlignCenter);
      dbgObs_->setItem(l, c, item);
    }
    if (atual && visiveis[static_cast<size_t>(l)].IdLivroObs == atual->IdLivroObs) dbgObs_->selectRow(l);
  }
  // The date and the tax whole, whatever the font: their widths are the least they take.
  for (int c = 0; c < 2; ++c) {
    dbgObs_->resizeColumnToContents(c);
    dbgObs_->setColumnWidth(c, std::max(dbgObs_->columnWidth(c), TForm58140Observacoes::kColunas[c].Largura));
  }
  dbgObs_->setEnabled(obs_.pnlGradeEnabled);
  btnGravar_->setEnabled(editando);
  btnCancelar_->setEnabled(editando);
  btnExcluir_->setEnabled(!obs_.IsEmpty());
}

void TEditorObservacoes::Focar(TControle controle) {
  switch (controle) {
    case TControle::lkpImposto: lkpImposto_->Edicao()->setFocus(); break;
    case TControle::edtData: edtData_->setFocus(); break;
    case TControle::mmoObs: mmoObs_->setFocus(); break;
    case TControle::dbgObs: dbgObs_->setFocus(); break;
    default: break;
  }
}

bool TEditorObservacoes::Executar(const std::function<void()>& manipulador) {
  LerTela();
  obs_.Foco = TControle::Nenhum;
  validando_ = true;
  const bool ok = ExecutarManipulador(this, manipulador);
  validando_ = false;
  MostrarTela();
  if (obs_.Foco != TControle::Nenhum) QTimer::singleShot(0, this, [this, c = obs_.Foco] { Focar(c); });
  return ok;
}

void TEditorObservacoes::DigitouImposto(const QString& codigo) {
  Executar([&] {
    if (!obs_.BuscarImposto(codigo.toStdString()))
      QMessageBox::warning(this, "Aviso", TForm58140Observacoes::kNaoEncontradoImposto);
  });
}

void TEditorObservacoes::PesquisarImposto() {
  TDialogoPesquisa pesquisa(GUtilSistema->GetConnectionSistema(), TForm58140Observacoes::PesquisaImposto(), this);
  if (pesquisa.exec() != QDialog::Accepted) return;
  Executar([&] {
    obs_.lkpImpostoEnter();
    obs_.BuscarImposto(pesquisa.Codigo());
    obs_.lkpImpostoExit();
  });
}

// A new observation starts at the tax: the pending edit is dropped and the date and text cleared;
// Enter in the date then opens the observation of that tax and date, or a new one.
void TEditorObservacoes::Novo() {
  Executar([&] {
    obs_.CancelarRegistro(TControle::Nenhum);
    obs_.edtData.Text.clear();
  });
  edtData_->clear();
}

void TEditorObservacoes::reject() {
  if (obs_.Estado() != TEstadoDataSet::dsBrowse) {
    LerTela();
    const auto r = QMessageBox::question(this, "Confirmação", "Há uma observação em edição. Deseja gravá-la?",
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (r == QMessageBox::Cancel) return;
    if (r == QMessageBox::Yes && !Executar([&] { obs_.SalvarRegistro(); })) return;
    if (r == QMessageBox::No) Executar([&] { obs_.CancelarRegistro(TControle::Nenhum); });
  }
  QDialog::reject();
}

bool TEditorObservacoes::eventFilter(QObject* objeto, QEvent* evento) {
  if (evento->type() == QEvent::FocusIn && objeto == lkpImposto_->Edicao() && !validando_) {
    Executar([&] { obs_.lkpImpostoEnter(); });
    return QDialog::eventFilter(objeto, evento);
  }
  if (evento->type() == QEvent::FocusOut && !validando_) {
    // Checked when the user moves on with the keyboard; saving checks everything anyway.
    const auto razao = static_cast<QFocusEvent*>(evento)->reason();
    if (razao == Qt::TabFocusReason || razao == Qt::BacktabFocusReason) {
      if (objeto == edtData_) Executar([&] { obs_.ValidarCampos(TControle::edtData); });
    }
    return QDialog::eventFilter(objeto, evento);
  }
  if (evento->type() != QEvent::KeyPress) return QDialog::eventFilter(objeto, evento);
  if (objeto == dbgObs_ && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Delete) {
    btnExcluir_->click();  // the same question, and the same refusal while a record is open
    return true;
  }
  const TTecla t = TeclaDe(static_cast<QKeyEvent*>(evento)->key());
  if (objeto == edtData_ && TeclaConfirma(t)) {
    if (Executar([&] {
          obs_.ValidarCampos(TControle::Nenhum);
          obs_.edtDataKeyDown(t);
        }))
      mmoObs_->setFocus();
    return true;
  }
  if (objeto == lkpImposto_->Edicao() && t == TTecla::Enter) {
    edtData_->setFocus(Qt::TabFocusReason);
    return true;
  }
  return QDialog::eventFilter(objeto, evento);
}
