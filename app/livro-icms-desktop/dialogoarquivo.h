#pragma once
// Every file dialog of the program goes through here. The dialogs show the folder that usually
// holds the office's database, and Qt's own dialogs tell a file's type by reading its first bytes.
// SQLite's locks on the database are POSIX advisory locks: they belong to the process, and closing
// any other descriptor on the same file drops them all. A dialog that peeked into the open database
// would let the command line delete the WAL the desktop still writes to, and the desktop would
// later write over what others recorded. So the dialogs are always Qt's widgets (never the
// platform's, which we cannot tell what to read) and decide icons and types by the name alone.
#include <QFileDialog>
#include <QFileIconProvider>

class QPrintDialog;

class TIconesPorNome : public QFileIconProvider {
 public:
  QIcon icon(IconType tipo) const override { return QFileIconProvider::icon(tipo); }
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;
  // The one instance the program's dialogs share (it must outlive them).
  static TIconesPorNome& Instancia();
};

namespace dialogoarquivo {

// A dialog ready to be shown, on Qt's widgets and with icons and types by name.
QFileDialog* Criar(QWidget* pai, const QString& titulo, const QString& inicial, const QString& filtro,
                   QFileDialog::AcceptMode modo);
// The file chosen (empty when the user gave up).
QString Abrir(QWidget* pai, const QString& titulo, const QString& filtro);
QString Salvar(QWidget* pai, const QString& titulo, const QString& inicial, const QString& filtro,
               QFileDialog::Options opcoes = {});
// Gives every file-system model under `raiz` (a file name completer, as the print dialog's) the
// icons by name.
void Proteger(QObject* raiz);

// Qt's print dialog starts listing the home folder for its "print to file" name the moment it is
// built, with Qt's icons, before any provider can be given to it. So the program builds one print
// dialog, on its own printer, as the main window opens and before any office can be opened, and
// every print shows that one. It belongs to `janela` and goes with it.
void PrepararImpressao(QWidget* janela);
// The dialog prepared (one built on the spot, and so exposed, when no main window prepared one).
QPrintDialog& Impressao();

}  // namespace dialogoarquivo
