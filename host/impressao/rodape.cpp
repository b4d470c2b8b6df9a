#include "host/impressao/rodape.h"

#include <string>

#include "host/base/texto.h"

namespace impressao {

namespace {

// Prints in the given font set, then gives the engine back its own default font.
void ImprimirNaFonte(TQDprint& prn, int linha, int coluna, const std::string& texto, TFontes fontes) {
  TFontes anterior = prn.Fonte();
  prn.SetFonte(fontes);
  prn.Imp(linha, coluna, texto);
  prn.SetFonte(anterior);
}

}  // namespace

std::string EscritorioDoRodape(TQDSQLQuery& qRodape) {
  if (qRodape.Eof()) return {};
  std::string escritorio = texto::Aparar(qRodape.FieldByName("NOMEFANTASIA").AsString());
  std::string telefone = texto::Aparar(qRodape.FieldByName("TELEFONE1").AsString());
  if (!telefone.empty()) escritorio += (escritorio.empty() ? "" : " - ") + telefone;
  return escritorio;
}

void ImprimirRodape(TQDprint& prn, const std::string& escritorio, int colunas, TFontes fontes, int modulo,
                    bool imprimirDataHora, TDateTime agora, int linha) {
  if (linha < 1 || linha > prn.TamanhoQteLinhas()) return;
  if (!escritorio.empty()) ImprimirNaFonte(prn, linha, 2, escritorio, fontes);
  prn.ImpC(linha, colunas / 2, "Módulo " + std::to_string(modulo), fontes);
  if (imprimirDataHora) {
    std::string dataHora = DataHoraBR(agora);
    int coluna = colunas - 3 - static_cast<int>(texto::Tamanho(dataHora)) + 1;
    ImprimirNaFonte(prn, linha, coluna, dataHora, fontes);
  }
}

}  // namespace impressao
