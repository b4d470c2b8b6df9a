#include "dialogoarquivo.h"

#include <QFileSystemModel>
#include <QMimeDatabase>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

namespace {

// The type known from the extension; nothing is opened to find it.
QMimeType TipoPeloNome(const QFileInfo& info) {
  static const QMimeDatabase tipos;
  return tipos.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

}  // namespace

QIcon TIconesPorNome::icon(const QFileInfo& info) const {
  if (info.isDir()) return icon(Folder);
  const QIcon tema = QIcon::fromTheme(TipoPeloNome(info).iconName());
  return tema.isNull() ? icon(File) : tema;
}

QString TIconesPorNome::type(const QFileInfo& info) const {
  if (info.isDir()) return "Pasta";
  const QMimeType tipo = TipoPeloNome(info);
  if (tipo.isDefault()) return info.suffix().isEmpty() ? "Arquivo" : "Arquivo " + info.suffix().toLower();
  return tipo.comment().isEmpty() ? tipo.name() : tipo.comment();
}

TIconesPorNome& TIconesPorNome::Instancia() {
  static TIconesPorNome icones;
  return icones;
}

namespace dialogoarquivo {

QFileDialog* Criar(QWidget* pai, const QString& titulo, const QString& inicial, const QString& filtro,
                   QFileDialog::AcceptMode modo) {
  auto* d = new QFileDialog(pai, titulo, inicial, filtro);
  d->setOption(QFileDialog::DontUseNativeDialog);
  d->setIconProvider(&TIconesPorNome::Instancia());
  d->setAcceptMode(modo);
  d->setFileMode(modo == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  return d;
}

namespace {

QString Escolher(QFileDialog* d) {
  const std::unique_ptr<QFileDialog> dono(d);
  if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty()) return {};
  return d->selectedFiles().constFirst();
}

}  // namespace

QString Abrir(QWidget* pai, const QString& titulo, const QString& filtro) {
  return Escolher(Criar(pai, titulo, QString(), filtro, QFileDialog::AcceptOpen));
}

QString Salvar(QWidget* pai, const QString& titulo, const QString& inicial, const QString& filtro,
               QFileDialog::Options opcoes) {
  QFileDialog* d = Criar(pai, titulo, inicial, filtro, QFileDialog::AcceptSave);
  d->setOptions(d->options() | opcoes);
  return Escolher(d);
}

void Proteger(QObject* raiz) {
  for (QFileSystemModel* m : raiz->findChildren<QFileSystemModel*>()) m->setIconProvider(&TIconesPorNome::Instancia());
}

namespace {
QPointer<QPrintDialog> GImpressao;
}  // namespace

void PrepararImpressao(QWidget* janela) {
  if (GImpressao) return;
  auto* impressora = new QPrinter(QPrinter::HighResolution);
  GImpressao = new QPrintDialog(impressora, janela);
  QObject::connect(GImpressao, &QObject::destroyed, [impressora] { delete impressora; });
  Proteger(GImpressao);  // the folder typed later is listed by name alone
}

QPrintDialog& Impressao() {
  if (!GImpressao) PrepararImpressao(nullptr);
  return *GImpressao;
}

}  // namespace dialogoarquivo
