// livro-icms-desktop: the ICMS settlement ledger in a window.
//   livro-icms-desktop [--db escritorio.db]
// Opens the office database given (or the one chosen from the menu) and shows the report form
// "Livro Registro de Apuração do ICMS"; the settlement, its questions and dialogs, the book and its
// preview, and the observations editor run on the same core as the command line livro-icms.
#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>

#include "janelaprincipal.h"
#include "traducoes.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("LivroICMS");
  QApplication::setApplicationName("livro-icms-desktop");
  QApplication::setApplicationDisplayName("Livro de ICMS");
  QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
  InstalarTraducoesQt();  // without them Qt's own buttons and dialogs speak English, nothing worse

  QCommandLineParser argumentos;
  argumentos.setApplicationDescription("Livro Registro de Apuração do ICMS (modelo P9): apuração e livro de um estabelecimento.");
  argumentos.addHelpOption();
  QCommandLineOption banco("db", "Arquivo do banco de dados do escritório.", "arquivo");
  argumentos.addOption(banco);
  argumentos.process(app);

  TJanelaPrincipal janela;
  janela.show();
  if (argumentos.isSet(banco)) janela.AbrirEscritorio(argumentos.value(banco));
  return app.exec();
}
