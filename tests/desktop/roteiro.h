#pragma once
// The dialogs a test expects while the program runs a modal operation, answered in order: each step
// waits until the window in front is the one it expects, then acts on it (types, presses a button).
// A step runs outside the poll that found it, so what it does may open further modal windows. A
// modal window no step expects is closed after a few seconds and reported, so a test fails instead
// of hanging.
#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

class TRoteiroDialogos : public QObject {
 public:
  using TCondicao = std::function<bool(QWidget*)>;
  using TAcao = std::function<void(QWidget*)>;

  TRoteiroDialogos() {
    connect(&relogio_, &QTimer::timeout, this, [this] { Verificar(); });
    relogio_.start(25);
  }

  void Esperar(QString descricao, TCondicao condicao, TAcao acao) {
    passos_.push_back({std::move(descricao), std::move(condicao), std::move(acao)});
  }
  // The window in front has this object name.
  static TCondicao Nome(const QString& nome) {
    return [nome](QWidget* w) { return w->objectName() == nome; };
  }

  bool Concluido() const { return passos_.empty(); }
  QString Pendentes() const {
    QStringList l;
    for (const auto& p : passos_) l << p.descricao;
    return l.join("; ");
  }
  // Windows closed because no step expected them: "title: text".
  QStringList Inesperados;

 private:
  struct TPasso {
    QString descricao;
    TCondicao condicao;
    TAcao acao;
  };

  bool Ocupado(QWidget* w) const {
    for (const auto& o : ocupados_)
      if (o == w) return true;
    return false;
  }

  void Verificar() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || qobject_cast<QProgressDialog*>(w) || Ocupado(w)) {
      espera_ = 0;
      return;
    }
    if (!passos_.empty() && passos_.front().condicao(w)) {
      TPasso p = std::move(passos_.front());
      passos_.pop_front();
      espera_ = 0;
      ocupados_.push_back(w);
      QTimer::singleShot(0, w, [this, w, acao = std::move(p.acao)] {
        acao(w);
        for (auto it = ocupados_.begin(); it != ocupados_.end(); ++it)
          if (*it == w) {
            ocupados_.erase(it);
            break;
          }
      });
      return;
    }
    if (++espera_ < 200) return;
    QString texto = w->windowTitle();
    if (w->property("text").isValid()) texto += ": " + w->property("text").toString();
    Inesperados << texto;
    espera_ = 0;
    // Closed after this poll returns: closing may itself ask something, which must find the poll
    // free to see it.
    QTimer::singleShot(0, w, [w] {
      if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
      else
        w->close();
    });
  }

  QTimer relogio_;
  std::deque<TPasso> passos_;
  std::vector<QPointer<QWidget>> ocupados_;  // windows whose step is at work
  int espera_ = 0;
};
