#include "edicoes.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>

#include "interacaoqt.h"

QLineEdit* NovaEdicaoData(const QString& nome) {
  auto* e = new QLineEdit;
  e->setObjectName(nome);
  e->setInputMask("99/99/9999;_");
  e->setMaximumWidth(100);
  return e;
}

std::string TextoData(const QLineEdit* edicao) {
  const QString t = edicao->text();
  for (QChar c : t)
    if (c.isDigit()) return t.toStdString();
  return {};
}

TTecla TeclaDe(int teclaQt) {
  switch (teclaQt) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return TTecla::Enter;
    case Qt::Key_Down: return TTecla::SetaAbaixo;
    case Qt::Key_Tab: return TTecla::Tab;
    default: return TTecla::Outra;
  }
}

bool SaiuDoCampo(const QFocusEvent* evento) {
  return evento->reason() != Qt::ActiveWindowFocusReason && evento->reason() != Qt::PopupFocusReason;
}

namespace {

// A radio button that is not the choice of its group: Enter passes it by, so a key pressed there
// can never be taken for choosing it.
bool OutraOpcao(const QWidget* w) {
  const auto* r = qobject_cast<const QRadioButton*>(w);
  if (!r || r->isChecked() || !r->autoExclusive() || !r->parentWidget()) return false;
  for (const QRadioButton* irmao : r->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
    if (irmao->isChecked() && irmao->autoExclusive()) return true;
  return false;
}

}  // namespace

void ProximoCampo(QWidget* atual) {
  for (QWidget* w = atual->nextInFocusChain(); w && w != atual; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy() &&
        atual->window() == w->window() && !OutraOpcao(w)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

bool ExecutarManipulador(QWidget* pai, const std::function<void()>& manipulador) {
  try {
    manipulador();
    return true;
  } catch (const ECampoInvalido&) {
    return false;
  } catch (const std::exception& e) {
    QMessageBox::critical(pai, "Erro", TextoTela(e.what()));
    return false;
  }
}
