#pragma once
// The host's page footer of its books, printed on the line right below a page's frame.
//
// Layout (one line, in the font set given, usually compressed 20 cpi):
//   - column 2: the office's trade name (NOMEFANTASIA of the first row of the footer query),
//     followed by " - " and its phone (TELEFONE1) when there is one;
//   - centred on the page: "Módulo " and the module number;
//   - when the date and time are asked for: "dd/mm/yyyy hh:mm:ss" of `agora`, ending at column
//     `colunas` - 3, under the frame's right border.
// The office part comes from "SELECT NOMEFANTASIA, TELEFONE1 FROM CA06_USUARIO", opened by the
// caller: EscritorioDoRodape reads its first row (an empty result leaves the office part out), so a
// job reads it once and prints every page's footer from it. Nothing is printed when `linha` lies
// outside the page.
#include <string>

#include "host/banco/consulta.h"
#include "host/base/datas.h"
#include "host/impressao/fontes.h"
#include "host/impressao/motorimpressao.h"

namespace impressao {

std::string EscritorioDoRodape(TQDSQLQuery& qRodape);
void ImprimirRodape(TQDprint& prn, const std::string& escritorio, int colunas, TFontes fontes, int modulo,
                    bool imprimirDataHora, TDateTime agora, int linha);

}  // namespace impressao
