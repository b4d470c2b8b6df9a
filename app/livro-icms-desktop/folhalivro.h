#pragma once
// One sheet of the book on the screen: an A4 sheet at the zoom asked for (1.0 = its size at 96
// dots per inch), white, with the page's grid inside 10 mm margins, as the PDF output lays it out,
// and the marks of a search.
#include <QWidget>
#include <vector>

#include "desenhopagina.h"

class TFolhaLivro : public QWidget {
  Q_OBJECT

 public:
  explicit TFolhaLivro(QWidget* pai = nullptr);
  void SetPagina(const impressao::TPagina* pagina, std::vector<TMarcaPagina> marcas = {});
  void SetZoom(double zoom);
  double Zoom() const { return zoom_; }
  // Size of the sheet at zoom 1.
  static QSizeF TamanhoFolha();
  // Where the grid lies on the sheet as drawn now.
  QRectF Grade() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* evento) override;

 private:
  const impressao::TPagina* pagina_ = nullptr;
  std::vector<TMarcaPagina> marcas_;
  double zoom_ = 1.0;
  TDesenhoPagina desenho_;
};
