#pragma once
// The search grid of a lookup ("Pesquisa de Empresas", "Pesquisa de Estabelecimentos", "Pesquisa do
// Código do Imposto"): the lookup's records in its columns, narrowed as the user types in
// "Localizar:" (any column containing the text, without regard to case or accents). Enter or a
// double click chooses the record under the cursor.
#include <QDialog>
#include <string>

#include "forms/form58140.h"

class QLineEdit;
class QTableWidget;
class TQDConnection;

class TDialogoPesquisa : public QDialog {
  Q_OBJECT

 public:
  TDialogoPesquisa(TQDConnection& conexao, const TPesquisa& pesquisa, QWidget* pai = nullptr);
  // The chosen record: its id and its code (valid after the dialog was accepted).
  int64_t Id() const { return id_; }
  const std::string& Codigo() const { return codigo_; }
  // Rows left visible by the text typed in "Localizar:".
  int LinhasVisiveis() const;

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  void Filtrar(const QString& texto);
  void Escolher();

  QLineEdit* localizar_;
  QTableWidget* grade_;
  std::vector<int64_t> ids_;
  std::vector<std::string> codigos_;
  int64_t id_ = 0;
  std::string codigo_;
};
