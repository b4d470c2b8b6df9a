// The auxiliary-data dialog of the SC summaries: agreement number and deduction for advance payments.
#include "regimes/normal/dadosauxsc.h"

#include "host/host.h"

TFormDadosAuxSC::TFormDadosAuxSC()
    : TQDFormRavelPadraoResult("Dados acessórios"),
      edtAcordo(Adicionar("edtAcordo", "Número de acordo para dilação do prazo:", TTipoCampo::Texto)),
      edtDeducao(Adicionar("edtDeducao", "Dedução da Receita Tributavel do Simples ref. Pgtos  Antecipados:",
                           TTipoCampo::Moeda)) {
  TeclasConfirmacao.Escape = true;  // Enter or Escape in the last active field confirms
}

void TFormDadosAuxSC::PreencheCampos(const std::string& acordo, Currency deducao) {
  edtAcordo.Texto = acordo;
  edtDeducao.Valor = deducao;
}

bool TFormDadosAuxSC::TeclaConfirma(const TCampoEdicao& campo, int tecla) const {
  return (tecla == kTeclaEnter || tecla == kTeclaEscape) && GFuncoes->EhUltimoComponenteAtivo(campo, *this);
}
