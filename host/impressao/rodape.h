#pragma once
// The host's page footer of its books, printed on the line right below a page's frame.
//
// Layout (one line, in the font set given, usually compressed 20 cpi):
//   - column 2: the office's trade name (NOMEFANTASIA of the first row of the footer query),
//     followed by " - " and its phone (TELEFONE1) when there is one;
//   - centred on the page: "Módulo " and the module number;
//   - when the date and time are asked for: "dd/mm/yyyy hh:mm:ss" of `agora`, ending at column
//     `colunas` - 3, under the frame's right border.
// `qRodape` is a query already opened by the caller on "SELECT NOMEFANTASIA, TELEFONE1 FROM
// CA06_USUARIO"; only its first row is read (an empty result leaves the office part out). The
// caller closes it. Nothing is printed when `linha` lies outside the page.
#include "host/banco/consulta.h"
#include "host/base/datas.h"
#include "host/impressao/fontes.h"
#include "host/impressao/motorimpressao.h"

namespace impressao {

void ImprimirRodape(TQDprint& prn, TQDSQLQuery& qRodape, int colunas, TFontes fontes, int modulo,
                    bool imprimirDataHora, TDateTime agora, int linha);

}  // namespace impressao
