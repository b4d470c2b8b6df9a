#include "host/impressao/disposicao.h"

#include "host/base/texto.h"
#include "host/impressao/pagina.h"

namespace impressao {

std::vector<TTrechoDesenhado> Disposicao(const TPagina& pagina) {
  std::vector<TTrechoDesenhado> r;
  const auto& textos = pagina.Textos();
  r.reserve(textos.size());
  for (size_t i = 0; i < textos.size(); ++i) {
    TTrecho vis = pagina.Visivel(i);
    if (vis.texto.empty()) continue;
    const TTextoImpresso& t = textos[i];
    double largura = 1;
    if (!t.fontes.Contem(TFonte::Comprimido) && (t.fontes.Contem(TFonte::Normal) || t.fontes.Contem(TFonte::Negrito)))
      largura = 2;
    if (t.fontes.Contem(TFonte::Expandido)) largura *= 2;
    // The visible piece starts (vis.coluna - t.coluna) characters into the text, measured from the
    // text's centre, which stays where the grid has it.
    const double meio = static_cast<double>(texto::Tamanho(t.texto)) / 2;
    const double coluna = (t.coluna - 1 + meio) + (vis.coluna - t.coluna - meio) * largura;
    r.push_back({t.linha, coluna, largura, t.fontes.Contem(TFonte::Negrito), std::move(vis.texto)});
  }
  return r;
}

}  // namespace impressao
