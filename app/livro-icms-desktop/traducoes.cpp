#include "traducoes.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstalarTraducoesQt() {
  // Owned by the application: the texts are looked up for as long as it runs.
  auto* traducao = new QTranslator(QCoreApplication::instance());
  if (!traducao->load(QLocale(QLocale::Portuguese, QLocale::Brazil), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete traducao;
    return false;
  }
  return QCoreApplication::installTranslator(traducao);
}
