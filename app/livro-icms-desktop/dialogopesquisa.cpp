#include "dialogopesquisa.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "host/banco/consulta.h"
#include "host/base/texto.h"

namespace {
// Text compared the way the search compares it: no accents, upper case.
std::string Normalizado(const std::string& s) { return texto::Maiusculas(texto::SemAcento(s)); }
}  // namespace

TDialogoPesquisa::TDialogoPesquisa(TQDConnection& conexao, const TPesquisa& pesquisa, QWidget* pai)
    : QDialog(pai), localizar_(new QLineEdit), grade_(new QTableWidget) {
  setWindowTitle(QString::fromStdString(pesquisa.Titulo));
  setObjectName("dlgPesquisa");
  resize(820, 360);

  grade_->setObjectName("grdPesquisa");
  grade_->setColumnCount(static_cast<int>(pesquisa.Colunas.size()));
  QStringList titulos;
  for (const TColunaGrade& c : pesquisa.Colunas) titulos << QString::fromUtf8(c.Titulo);
  grade_->setHorizontalHeaderLabels(titulos);
  grade_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grade_->setSelectionMode(QAbstractItemView::SingleSelection);
  grade_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grade_->verticalHeader()->hide();
  grade_->horizontalHeader()->setStretchLastSection(true);

  TQDSQLQuery q(conexao);
  q.SetSQL(pesquisa.Sql);
  q.Open();
  for (int linha = 0; !q.Eof(); q.Next(), ++linha) {
    grade_->insertRow(linha);
    for (size_t c = 0; c < pesquisa.Colunas.size(); ++c)
      grade_->setItem(linha, static_cast<int>(c),
                      new QTableWidgetItem(QString::fromStdString(q.FieldByName(pesquisa.Colunas[c].Campo).AsString())));
    ids_.push_back(q.FieldByName(pesquisa.CampoId).AsLargeInt());
    codigos_.push_back(q.FieldByName(pesquisa.CampoCodigo).AsString());
  }
  grade_->resizeColumnsToContents();
  for (size_t c = 0; c < pesquisa.Colunas.size(); ++c)
    if (pesquisa.Colunas[c].Largura > 0) grade_->setColumnWidth(static_cast<int>(c), pesquisa.Colunas[c].Largura);
  if (grade_->rowCount() > 0) grade_->selectRow(0);

  localizar_->setObjectName("edtLocalizar");
  auto* rotulo = new QLabel("&Localizar:");
  rotulo->setBuddy(localizar_);
  auto* botoes = new QDialogButtonBox;
  botoes->addButton("&Selecionar", QDialogButtonBox::AcceptRole);
  botoes->addButton("&Cancelar", QDialogButtonBox::RejectRole);
  connect(botoes, &QDialogButtonBox::accepted, this, &TDialogoPesquisa::Escolher);
  connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(localizar_, &QLineEdit::textChanged, this, &TDialogoPesquisa::Filtrar);
  connect(grade_, &QTableWidget::cellDoubleClicked, this, &TDialogoPesquisa::Escolher);
  localizar_->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  auto* linhaLocalizar = new QHBoxLayout;
  linhaLocalizar->addWidget(rotulo);
  linhaLocalizar->addWidget(localizar_);
  layout->addLayout(linhaLocalizar);
  layout->addWidget(grade_);
  layout->addWidget(botoes);
  localizar_->setFocus();
}

void TDialogoPesquisa::Filtrar(const QString& texto) {
  const std::string procurado = Normalizado(texto.toStdString());
  int primeira = -1;
  for (int l = 0; l < grade_->rowCount(); ++l) {
    bool mostra = procurado.empty();
    for (int c = 0; c < grade_->columnCount() && !mostra; ++c)
      mostra = Normalizado(grade_->item(l, c)->text().toStdString()).find(procurado) != std::string::npos;
    grade_->setRowHidden(l, !mostra);
    if (mostra && primeira < 0) primeira = l;
  }
  if (primeira >= 0) grade_->selectRow(primeira);
}

int TDialogoPesquisa::LinhasVisiveis() const {
  int n = 0;
  for (int l = 0; l < grade_->rowCount(); ++l) n += !grade_->isRowHidden(l);
  return n;
}

void TDialogoPesquisa::Escolher() {
  const int linha = grade_->currentRow();
  if (linha < 0 || grade_->isRowHidden(linha)) return;
  id_ = ids_[static_cast<size_t>(linha)];
  codigo_ = codigos_[static_cast<size_t>(linha)];
  accept();
}

// Up and Down in "Localizar:" move through the grid, so the user never has to leave the text.
bool TDialogoPesquisa::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == localizar_ && evento->type() == QEvent::KeyPress) {
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
      Escolher();
      return true;
    }
    if (tecla == Qt::Key_Up || tecla == Qt::Key_Down) {
      const int passo = tecla == Qt::Key_Down ? 1 : -1;
      for (int l = grade_->currentRow() + passo; l >= 0 && l < grade_->rowCount(); l += passo)
        if (!grade_->isRowHidden(l)) {
          grade_->selectRow(l);
          break;
        }
      return true;
    }
  }
  return QDialog::eventFilter(objeto, evento);
}
