#include "dialogoimpostos.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "host/servicos/selecaoimpostos.h"

TDialogoImpostos::TDialogoImpostos(TFrameSelecionarImpostos& frame, QWidget* pai)
    : QDialog(pai), frame_(frame), grade_(new QTableWidget(0, 2)) {
  setWindowTitle("Selecionar Impostos");
  setObjectName("dlgSelecionarImpostos");
  grade_->setObjectName("grdImpostos");
  grade_->setHorizontalHeaderLabels({"Código", "Descrição"});
  grade_->verticalHeader()->hide();
  grade_->horizontalHeader()->setStretchLastSection(true);
  grade_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grade_->setSelectionBehavior(QAbstractItemView::SelectRows);

  TQDClientDataSet& ds = frame_.GetDataSet();
  int linha = 0;
  for (ds.First(); !ds.Eof(); ds.Next(), ++linha) {
    grade_->insertRow(linha);
    auto* codigo = new QTableWidgetItem(QString::fromStdString(ds.FieldByName("CODIGO").AsString()));
    codigo->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    codigo->setCheckState(ds.FieldByName("MARCADO").AsInteger() == 1 ? Qt::Checked : Qt::Unchecked);
    grade_->setItem(linha, 0, codigo);
    grade_->setItem(linha, 1, new QTableWidgetItem(QString::fromStdString(ds.FieldByName("DESCRICAO").AsString())));
  }
  ds.First();
  grade_->resizeColumnsToContents();
  connect(grade_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() == 0) Marcar(item->row(), item->checkState() == Qt::Checked);
  });

  auto* todos = new QPushButton("&Marcar todos");
  auto* nenhum = new QPushButton("&Desmarcar todos");
  auto marcarTodos = [this](bool m) {
    for (int l = 0; l < grade_->rowCount(); ++l) grade_->item(l, 0)->setCheckState(m ? Qt::Checked : Qt::Unchecked);
  };
  connect(todos, &QPushButton::clicked, this, [marcarTodos] { marcarTodos(true); });
  connect(nenhum, &QPushButton::clicked, this, [marcarTodos] { marcarTodos(false); });
  auto* botoes = new QDialogButtonBox;
  botoes->addButton("&Confirmar", QDialogButtonBox::AcceptRole)->setObjectName("btnConfirmar");
  connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grade_);
  auto* rodape = new QHBoxLayout;
  rodape->addWidget(todos);
  rodape->addWidget(nenhum);
  rodape->addStretch();
  rodape->addWidget(botoes);
  layout->addLayout(rodape);
  resize(420, 360);
}

void TDialogoImpostos::Marcar(int linha, bool marcado) {
  TQDClientDataSet& ds = frame_.GetDataSet();
  if (ds.Locate("CODIGO", {grade_->item(linha, 0)->text().toStdString()}))
    ds.SetFieldValue("MARCADO", int64_t{marcado ? 1 : 0});
}
