#pragma once
// An auxiliary-data dialog of the run (TFormDadosAuxNormalRS and the others built on the host's
// confirm/cancel form) as a form: one edit per field, top to bottom, each with its right-aligned
// label; disabled fields are shown and cannot be changed. Enter moves to the next enabled field and,
// in the last enabled one (the host's GFuncoes->EhUltimoComponenteAtivo), confirms; Escape or
// Down-arrow there confirm too when the dialog says so. A value that is not of its field's kind is
// refused on confirming, naming the field, and the dialog stays open on it.
#include <QDialog>
#include <vector>

#include "host/interacao/interacao.h"

class QLineEdit;
class QPushButton;

class TDialogoDados : public QDialog {
  Q_OBJECT

 public:
  TDialogoDados(const QString& titulo, std::vector<TCampoDialogo> campos, TTeclasConfirmacao teclas,
                QWidget* pai = nullptr);
  // The fields with the values typed (after confirming).
  const std::vector<TCampoDialogo>& Campos() const { return campos_; }
  // The confirm button: checks every field and accepts.
  void Confirmar();

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  void ProximoCampo(size_t indice);

  std::vector<TCampoDialogo> campos_;
  std::vector<QLineEdit*> edicoes_;
  TTeclasConfirmacao teclas_;
};
