#pragma once
// The preview of a print job ("Preview"): the book's pages as the engine finished them, the same
// pages its text and PDF outputs write. Page by page (Page Up / Page Down, Home / End, or the page
// number), zoom, search (case and accents ignored; F3 finds the next), Ctrl+C copies the page's
// text. From here the book is printed on a system printer, saved as PDF or saved as text; saving
// writes the pages already laid out, it never runs the settlement again.
//
// The engine shows this dialog from inside the job's closing (TQDprint::OnVisualizar): Destino()
// tells it where the book went, or that it went nowhere, and only a book printed or saved counts as
// printed (a definitive book's numbering and the job are recorded then).
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "desenhopagina.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;
class QSpinBox;
class TFolhaLivro;

namespace impressao {
class TQDprint;
enum class TPapel;
}  // namespace impressao

class TVisualizacao : public QDialog {
  Q_OBJECT

 public:
  TVisualizacao(const impressao::TQDprint& prn, QWidget* pai = nullptr);
  ~TVisualizacao() override;

  // File name (without extension) the save dialogs propose.
  void SetNomeSugerido(const QString& nome) { nomeSugerido_ = nome; }

  int Paginas() const;
  int Pagina() const { return pagina_ + 1; }  // 1-based
  void IrPara(int pagina);
  // The text of a page (1-based) as the grid holds it: its lines, trailing blanks trimmed.
  QString TextoPagina(int pagina) const;
  // Finds the next occurrence after the last one found (or from the current page); false when the
  // text is nowhere in the book.
  bool Localizar(const QString& texto);
  void SetZoom(double zoom);
  double Zoom() const;

  // Saving and printing; each records its destination. False (after telling the user) on failure.
  bool SalvarPdf(const QString& caminho);
  bool SalvarTexto(const QString& caminho);
  bool ImprimirEm(QPrinter& impressora);

  // Where the book went, joined ("Arquivo PDF: ...; impressora"), or nothing.
  std::optional<std::string> Destino() const;

 protected:
  void resizeEvent(QResizeEvent* evento) override;

 private:
  void Mostrar();
  void PedirPdf();
  void PedirTexto();
  void PedirImpressao();
  void CopiarPagina();
  impressao::TPapel Papel() const;
  bool LarguraDaPagina() const;
  QString PedirArquivo(const QString& titulo, const QString& extensao, const QString& filtro);
  void Registrar(const std::string& destino, const QString& mensagem);

  const impressao::TQDprint& prn_;
  int pagina_ = 0;
  QString nomeSugerido_ = "livro";
  std::vector<std::string> destinos_;
  // The occurrence found last: page (0-based), line and column (1-based), length.
  int achadoPagina_ = -1;
  TMarcaPagina achado_;
  TDesenhoPagina desenho_;

  TFolhaLivro* folha_;
  QScrollArea* rolagem_;
  QSpinBox* numero_;
  QLabel* total_;
  QComboBox* zoom_;
  QComboBox* papel_;
  QLineEdit* busca_;
  QLabel* situacao_;
};
