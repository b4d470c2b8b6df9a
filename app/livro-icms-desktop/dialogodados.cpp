#include "dialogodados.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/formpadraoresult.h"

TDialogoDados::TDialogoDados(const QString& titulo, std::vector<TCampoDialogo> campos, TTeclasConfirmacao teclas,
                             QWidget* pai)
    : QDialog(pai), campos_(std::move(campos)), teclas_(teclas) {
  setWindowTitle(titulo);
  setObjectName("dlgDados");
  auto* formulario = new QFormLayout;
  formulario->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  for (const TCampoDialogo& c : campos_) {
    auto* edicao = new QLineEdit(QString::fromStdString(c.Valor));
    edicao->setObjectName(QString::fromStdString(c.Nome));
    edicao->setEnabled(c.Habilitado);
    edicao->setMinimumWidth(160);
    if (c.Tipo == TTipoCampo::Moeda || c.Tipo == TTipoCampo::Inteiro) edicao->setAlignment(Qt::AlignRight);
    edicao->installEventFilter(this);
    auto* rotulo = new QLabel(QString::fromStdString(c.Legenda));
    rotulo->setBuddy(edicao);
    formulario->addRow(rotulo, edicao);
    edicoes_.push_back(edicao);
  }
  auto* botoes = new QDialogButtonBox;
  QPushButton* confirmar = botoes->addButton("&Confirmar", QDialogButtonBox::AcceptRole);
  confirmar->setObjectName("btnConfirmar");
  // Alt+C is "Confirmar"'s: one key for one button.
  botoes->addButton("Ca&ncelar", QDialogButtonBox::RejectRole)->setObjectName("btnCancelar");
  // Enter belongs to the fields (moving on); the buttons answer only to a click or their own key.
  for (QAbstractButton* b : botoes->buttons())
    if (auto* p = qobject_cast<QPushButton*>(b)) p->setAutoDefault(false);
  connect(confirmar, &QPushButton::clicked, this, &TDialogoDados::Confirmar);
  connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(formulario);
  layout->addWidget(botoes);
  for (QLineEdit* e : edicoes_)
    if (e->isEnabled()) {
      e->setFocus();
      e->selectAll();
      break;
    }
}

void TDialogoDados::Confirmar() {
  for (size_t i = 0; i < campos_.size(); ++i) {
    if (!campos_[i].Habilitado) continue;
    const std::string texto = edicoes_[i]->text().toStdString();
    // The same reading the dialog's ShowModal applies to the answer, so nothing it would refuse
    // leaves the dialog.
    TCampoEdicao leitura;
    leitura.Tipo = campos_[i].Tipo;
    if (!leitura.LerTexto(texto)) {
      QMessageBox::warning(this, "Aviso",
                           QString("O campo \"%1\" não aceita \"%2\".")
                               .arg(QString::fromStdString(texto::Aparar(campos_[i].Legenda)), edicoes_[i]->text()));
      edicoes_[i]->setFocus();
      edicoes_[i]->selectAll();
      return;
    }
  }
  for (size_t i = 0; i < campos_.size(); ++i)
    if (campos_[i].Habilitado) campos_[i].Valor = edicoes_[i]->text().toStdString();
  accept();
}

void TDialogoDados::ProximoCampo(size_t indice) {
  for (size_t i = indice + 1; i < edicoes_.size(); ++i)
    if (edicoes_[i]->isEnabled()) {
      edicoes_[i]->setFocus(Qt::TabFocusReason);
      edicoes_[i]->selectAll();
      return;
    }
}

bool TDialogoDados::eventFilter(QObject* objeto, QEvent* evento) {
  if (evento->type() != QEvent::KeyPress) return QDialog::eventFilter(objeto, evento);
  const auto it = std::find(edicoes_.begin(), edicoes_.end(), objeto);
  if (it == edicoes_.end()) return QDialog::eventFilter(objeto, evento);
  const size_t indice = static_cast<size_t>(it - edicoes_.begin());
  const int tecla = static_cast<QKeyEvent*>(evento)->key();
  const bool ultimo = GFuncoes->EhUltimoComponenteAtivo(indice, campos_);
  const bool enter = tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
  if ((enter || (tecla == Qt::Key_Escape && teclas_.Escape) || (tecla == Qt::Key_Down && teclas_.SetaAbaixo)) &&
      ultimo) {
    Confirmar();
    return true;
  }
  if (enter) {
    ProximoCampo(indice);
    return true;
  }
  return QDialog::eventFilter(objeto, evento);
}
