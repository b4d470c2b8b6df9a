#include "edicoes.h"

#include <QLineEdit>
#include <QMessageBox>

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

void ProximoCampo(QWidget* atual) {
  for (QWidget* w = atual->nextInFocusChain(); w && w != atual; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy() &&
        atual->window() == w->window()) {
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
