#include "regimes/normal/dadosauxnormalrs.h"

TFormDadosAuxNormalRS::TFormDadosAuxNormalRS()
    : TQDFormRavelPadraoResult("Dados acessórios"),
      edtFaturamento(Adicionar("edtFaturamento", "Faturamento no Período Apurado:", TTipoCampo::Moeda)),
      edtEmpregados(Adicionar("edtEmpregados", "Número de Empregados no Último dia do Mês:", TTipoCampo::Inteiro)),
      edtValorFolha(Adicionar("edtValorFolha", "Valor da Folha de Pagamento no Período Apurado:", TTipoCampo::Moeda)),
      edtConsumo(Adicionar("edtConsumo", "Consumo de Energia Elétrica no Período Apurado (em KWH):", TTipoCampo::Inteiro)) {
  // Enter or Escape in the consumption, the last field, confirms the dialog.
  TeclasConfirmacao.Escape = true;
}

void TFormDadosAuxNormalRS::PreencheCampos(Currency faturamento, int32_t empregados, Currency valorFolha, int32_t consumo) {
  edtFaturamento.Valor = faturamento;
  edtEmpregados.Inteiro = empregados;
  edtValorFolha.Valor = valorFolha;
  edtConsumo.Inteiro = consumo;
}
