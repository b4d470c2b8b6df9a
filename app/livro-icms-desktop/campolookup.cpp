#include "campolookup.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

TCampoLookup::TCampoLookup(const QString& nome, QWidget* pai)
    : QWidget(pai), codigo_(new QLineEdit), pesquisa_(new QToolButton), descricao_(new QLabel) {
  setObjectName(nome);
  codigo_->setObjectName(nome + "Codigo");
  codigo_->setMaximumWidth(90);
  codigo_->installEventFilter(this);
  pesquisa_->setObjectName(nome + "Pesquisa");
  pesquisa_->setText("...");
  pesquisa_->setToolTip("Pesquisar (F2)");
  pesquisa_->setFocusPolicy(Qt::NoFocus);
  descricao_->setObjectName(nome + "Descricao");
  descricao_->setMinimumWidth(260);
  descricao_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(codigo_);
  layout->addWidget(pesquisa_);
  layout->addWidget(descricao_, 1);
  setFocusProxy(codigo_);
  connect(pesquisa_, &QToolButton::clicked, this, &TCampoLookup::pesquisar);
  connect(codigo_, &QLineEdit::editingFinished, this, &TCampoLookup::ConfirmarCodigo);
}

void TCampoLookup::SetRegistro(const QString& codigo, const QString& descricao) {
  codigo_->setText(codigo);
  codigo_->setModified(false);
  descricao_->setText(descricao);
}

QString TCampoLookup::Codigo() const { return codigo_->text(); }

void TCampoLookup::ConfirmarCodigo() {
  if (!codigo_->isModified()) return;
  codigo_->setModified(false);
  emit codigoDigitado(codigo_->text());
}

bool TCampoLookup::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == codigo_ && evento->type() == QEvent::FocusIn) {
    // A code is replaced, never edited: whatever brought the focus (the mouse too), typing starts
    // over. After the event, so a click's own placing of the cursor comes first.
    const auto razao = static_cast<QFocusEvent*>(evento)->reason();
    if (razao != Qt::ActiveWindowFocusReason && razao != Qt::PopupFocusReason)
      QTimer::singleShot(0, codigo_, [this] { codigo_->selectAll(); });
  }
  if (objeto == codigo_ && evento->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_F2) {
    emit pesquisar();
    return true;
  }
  return QWidget::eventFilter(objeto, evento);
}
