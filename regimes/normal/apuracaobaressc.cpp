// Bars and restaurants of SC: the debits of 2.6 % and 3.6 % on the values of entries and exits.
#include "regimes/normal/apuracaobaressc.h"

#include "host/base/formatacao.h"
#include "host/host.h"

namespace {
// The rates as exact fractions: 2.6 % and 3.6 %.
constexpr int64_t kTaxaEntradas = 26, kTaxaDiferenca = 36, kMilesimos = 1000;
}  // namespace

TResumoBaresSC::TResumoBaresSC() {
  for (TResumoCampos* campos : {FDebito.get(), FCredito.get(), FSaldo.get()})
    campos->GetRegistros().TotalImposto = [this] { return GetTotalImposto(); };
}

TTipoResumo TResumoBaresSC::GetTipoResumo() const { return trBaresSC; }

// The debits stand before the lines loaded from the settlement entries, which follow them in line 1.
void TResumoBaresSC::CalcularApuracaoAntes() { CalcularBares(); }

void TResumoBaresSC::CalcularBares() {
  FValorEntradas = GFuncoes->GetSomaReceitaFormulaCFOPUF(FFilial, 5, FDataInicio, FDataFim, 1, 1, 0);
  FValorSaidas = GFuncoes->GetSomaReceitaFormulaCFOPUF(FFilial, 5, FDataInicio, FDataFim, 1, 0, 1);
  // Each amount is rounded to cents once, from the exact product (see MultiplicarPorFracao).
  FDebitoEntradas = MultiplicarPorFracao(FValorEntradas, kTaxaEntradas, kMilesimos, 2);
  const Currency diferenca = FValorSaidas - FValorEntradas;
  FDebitoDiferenca = FValorSaidas > FValorEntradas ? MultiplicarPorFracao(diferenca, kTaxaDiferenca, kMilesimos, 2) : Currency();

  TResumoCampo* linha1 = LocalizarOuAdicionar(*FDebito, 1, "DÉBITOS SAÍDAS", 1);
  AdicionarDetalhe(*linha1, "", "Débito de 2.6% p/Bares/rest s/vlr entradas (" + FormatarValor(FValorEntradas) + ")",
                   FDebitoEntradas);
  AdicionarDetalhe(*linha1, "",
                   FDebitoDiferenca > Currency()
                       ? "Debito de 3.6 % s/ dif.entre entrada e saida (" + FormatarValor(diferenca) + ")"
                       : "Debito de 3.6 % s/ dif.entre entrada e saida (0,00)",
                   FDebitoDiferenca);
}

// The debits are the summary's lines, not the registers' tax: they are what is posted.
void TResumoBaresSC::GravarValoresParaContabilizacao() {
  GravarValoresContabeis(DescricoesContabeisICMS(), "000", FCredito->GetRegistros().GetTotalImposto(), FDebito->GetTotal(),
                         GetSaldoCredor());
}
