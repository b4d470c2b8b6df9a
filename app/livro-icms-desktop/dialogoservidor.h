#pragma once
// "Abrir servidor...": the office on a PostgreSQL server, by its postgresql:// URI (the address
// the user last opened is proposed again) and a password typed for this connection only. The
// password is never stored nor shown: the settings keep the URI without it, and a password written
// inside the URI is taken out of it the same way.
#include <QDialog>

class QLineEdit;

class TDialogoServidor : public QDialog {
  Q_OBJECT

 public:
  explicit TDialogoServidor(QWidget* pai);
  // The target to connect to: the URI with the password typed, if any, as a libpq parameter.
  QString Alvo() const;
  // The URI as it is kept and shown (no password).
  QString Endereco() const;

  void accept() override;

 private:
  QLineEdit* endereco_;
  QLineEdit* senha_;
};
