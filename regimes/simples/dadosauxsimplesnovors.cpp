// The auxiliary-data dialog of the RS small business. Its labels are two lines on the host's form;
// here each is one text, the two lines joined by a blank.
#include "regimes/simples/dadosauxsimplesnovors.h"

TFormDadosAuxSimplesNovoRS::TFormDadosAuxSimplesNovoRS()
    : TQDFormRavelPadraoResult("Dados acessórios"),
      edtRecBrutaOutros(Adicionar("edtRecBrutaOutros",
                                  "Receita Bruta do Mês de estabelecimentos de outra UF "
                                  "(incluisive outras receitas como juros, seguro, etc.) :",
                                  TTipoCampo::Moeda)),
      edtRecBrutaRS(Adicionar("edtRecBrutaRS",
                              "Receita Bruta do Mês de estab. do RS que não constam neste "
                              "banco (incluisive outras receitas como juros, seguro, etc.) :",
                              TTipoCampo::Moeda)),
      edtDedRecBruta(Adicionar("edtDedRecBruta",
                               "Dedução da Receita Bruta do Mês de estab. "
                               "do RS que não constam neste banco :",
                               TTipoCampo::Moeda)),
      edtOutrasRecMes(Adicionar("edtOutrasRecMes", "Outras Receitas do Mês  (juros, seguro, frete, reajustes, etc) :",
                                TTipoCampo::Moeda)),
      edtDespesas(Adicionar("edtDespesas", "Despesas no Mês de Referência:", TTipoCampo::Moeda)),
      edtNumEmpregados(Adicionar("edtNumEmpregados", "Nº de Empregados no Mês de Referência:", TTipoCampo::Inteiro)),
      edtDespSalarios(Adicionar("edtDespSalarios", "Despesas com Salários do Mês:", TTipoCampo::Moeda)),
      edtRecBrutaAnterior(Adicionar("edtRecBrutaAnterior",
                                    "Receita Bruta Acumulada do ano anterior "
                                    "(Todos os estabelecimentos da Empresa):",
                                    TTipoCampo::Moeda)),
      edtOutrasRecJanJun(Adicionar("edtOutrasRecJanJun",
                                   "Outras Receitas de Janeiro a Junho de 2006 "
                                   "(juros, seguro, frete, reajustes, etc) :",
                                   TTipoCampo::Moeda)) {
  TeclasConfirmacao.SetaAbaixo = true;  // Enter or Down-arrow in the last active field confirms
}

void TFormDadosAuxSimplesNovoRS::PreencheCampos(const TDadosAuxSimplesNovoRS& dados) {
  edtNumEmpregados.Inteiro = dados.NumEmpregados;
  edtRecBrutaOutros.Valor = dados.RecBrutaOutros;
  edtRecBrutaAnterior.Valor = dados.RecBrutaAnterior;
  edtDespesas.Valor = dados.Despesas;
  edtRecBrutaRS.Valor = dados.RecBrutaRS;
  edtDespSalarios.Valor = dados.DespSalarios;
  edtOutrasRecJanJun.Valor = dados.OutrasRecJanJun;
  edtDedRecBruta.Valor = dados.DedRecBruta;
  edtOutrasRecMes.Valor = dados.OutrasRecMes;
  for (const auto& c : Campos())
    if (c->Tipo == TTipoCampo::Moeda && !c->Enabled) c->Valor = Currency();
}

TDadosAuxSimplesNovoRS TFormDadosAuxSimplesNovoRS::Dados() const {
  TDadosAuxSimplesNovoRS d;
  d.NumEmpregados = static_cast<int32_t>(edtNumEmpregados.Inteiro);
  d.RecBrutaOutros = edtRecBrutaOutros.Valor;
  d.RecBrutaAnterior = edtRecBrutaAnterior.Valor;
  d.Despesas = edtDespesas.Valor;
  d.RecBrutaRS = edtRecBrutaRS.Valor;
  d.DespSalarios = edtDespSalarios.Valor;
  d.OutrasRecJanJun = edtOutrasRecJanJun.Valor;
  d.DedRecBruta = edtDedRecBruta.Valor;
  d.OutrasRecMes = edtOutrasRecMes.Valor;
  return d;
}
