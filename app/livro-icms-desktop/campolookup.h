#pragma once
// A lookup of the host as a widget: the record's code (typed, or chosen in the search grid opened
// by the button or F2) and its description beside it. The widget only shows and reports; which
// record a code names is the form's to decide.
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

class TCampoLookup : public QWidget {
  Q_OBJECT

 public:
  explicit TCampoLookup(const QString& nome, QWidget* pai = nullptr);
  void SetRegistro(const QString& codigo, const QString& descricao);
  QString Codigo() const;
  // A code typed and not yet searched (the field was not left) is searched now: an action run by
  // its shortcut must not go on with the record shown before.
  void ConfirmarCodigo();
  QLineEdit* Edicao() const { return codigo_; }
  QToolButton* BotaoPesquisa() const { return pesquisa_; }

 signals:
  // The user changed the code and left it (Enter, Tab or the mouse).
  void codigoDigitado(const QString& codigo);
  void pesquisar();

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  QLineEdit* codigo_;
  QToolButton* pesquisa_;
  QLabel* descricao_;
};
