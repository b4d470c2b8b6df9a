#pragma once
// TFormDadosAuxSC ("Dados acessórios"): the auxiliary data of the Santa Catarina summaries. The
// regular regime asks only for the agreement number of an extended due date; the small business
// also (or only, when its payment code needs no agreement) for the deduction of the taxable revenue
// for advance payments. The caller shows or hides each field; a field's label goes with it.
#include <string>

#include "host/interacao/formpadraoresult.h"

class TFormDadosAuxSC : public TQDFormRavelPadraoResult {
 public:
  TFormDadosAuxSC();
  void PreencheCampos(const std::string& acordo, Currency deducao);
  // The key handler of both fields: Enter or Escape confirms the dialog when pressed in its last
  // input that is shown and enabled. True when the key confirms.
  bool TeclaConfirma(const TCampoEdicao& campo, int tecla) const;

  TCampoEdicao& edtAcordo;
  TCampoEdicao& edtDeducao;

  static constexpr int kTeclaEnter = 13;
  static constexpr int kTeclaEscape = 27;
};
