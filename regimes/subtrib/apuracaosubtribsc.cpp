// The ICMS-ST of an SC inscription: the record with class and periodicity, the guides of the recorded
// class and the specific debits with the ST per operation.
#include "regimes/subtrib/apuracaosubtribsc.h"

#include "host/host.h"
#include "regimes/regrassc.h"
#include "regimes/sqlregimes.h"

TTipoResumo TResumoSTSC::GetTipoResumo() const { return trSubstTribSC; }

// Recorded by every establishment of a centralisation group, each with its own inscription.
void TResumoSTSC::GravarSaldoDevedor() {
  const TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim, c.Vencimento,
                          FInscrEst.empty() ? Currency() : GetImpostoARecolher(), {"CLASSEVCTO", "APURACAO"},
                          {c.Codigo1, regrassc::CodigoApuracao(GetPeriodicidade())});
}

void TResumoSTSC::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasOuGNRE(kSqlGuiasClasseVcto, linha, imprimir);
}

// A grouped row of ST per operation whose payment code has no description is named after the entry code.
void TResumoSTSC::ImprimirDebitosEspecificos(int& linha, const TImprimirProc& imprimir) {
  ImprimirListaDebitosEspecificos(kSqlDebitosEspecificosSTSC, "ICMS-ST POR OPERAÇÃO", linha, imprimir);
}
