// Host calculations run before a summary loads its lines: the CIAP credit of fixed assets and the
// configured presumed and input credits. Each stores its result as an "outros créditos" entry of
// the period (replacing what an earlier run stored) and stores nothing when there is nothing to
// credit.
#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/base/texto.h"
#include "host/servicos/apuracaofuncoes.h"
#include "host/servicos/protegido.h"

namespace {
constexpr int32_t kOutrosCreditos = 1;  // stored type of entry kind 0, book line 006
constexpr int32_t kTpImpostoICMS = 1;
constexpr const char* kImpostoICMS = "2001";

void RemoverGerado(TQDConnection& c, int64_t idFilial, TDateTime fim, const std::string& descricao) {
  banco::TComando d(c.Db(),
      "DELETE FROM ES02_LCTOAPUR WHERE GERADO = 1 AND IDFILIAL = ? AND IMPOSTO = ? AND TPLANCAMENTO = ?"
      " AND DATA = ? AND DESCRICAO = ?");
  banco::Vincular(d, idFilial, kImpostoICMS, kOutrosCreditos, DataISO(fim), descricao);
  d.exec();
}
}  // namespace

void TApuracaoFuncoes::GravarCreditoCalculado(const TFilial& f, TDateTime, TDateTime fim, const std::string& descricao,
                                              Currency valor) {
  if (valor > Currency())
    GravarLctoApur(f.IdFilial, kOutrosCreditos, kTpImpostoICMS, kImpostoICMS, 0, valor, fim, fim, descricao, 1, 0);
  else
    RemoverGerado(c_, f.IdFilial, fim, descricao);
}

// CIAP: each asset credits 1/PARCELAS of its ICMS per month, from the month of its entry for
// PARCELAS months and until it is written off, times the ratio of taxed exits (items with ICMS) to
// all exits of the period. A period counts the month ends it contains, so sub-monthly periods
// credit the month in the period that closes it.
void TApuracaoFuncoes::CalcularCIAP(const TFilial& f, TDateTime ini, TDateTime fim, TPeriodicidade) {
  std::vector<TDateTime> fechamentos;
  for (TDateTime m = FimDoMes(ini); m <= fim; m = FimDoMes(m + 1))
    if (m >= ini) fechamentos.push_back(m);
  Currency total;
  servicos::Protegido("CalcularCIAP", [&] {
    banco::TComando saidas(c_.Db(),
        "SELECT COALESCE(SUM(CASE WHEN D.ICMS > 0 THEN D.VLRCONTABIL ELSE 0 END), 0), COALESCE(SUM(D.VLRCONTABIL), 0)"
        "  FROM ES02_SAIDA S JOIN ES02_SAIDADET D ON (D.IDSAIDA = S.IDSAIDA)"
        " WHERE S.IDFILIAL = ? AND S.DATAEMISSAO BETWEEN ? AND ?");
    banco::Vincular(saidas, f.IdFilial, DataISO(ini), DataISO(fim));
    saidas.executeStep();
    const Currency tributadas = Currency::FromDouble(saidas.getColumn(0).getDouble());
    const Currency todas = Currency::FromDouble(saidas.getColumn(1).getDouble());
    const TFracao fator = todas > Currency() ? TFracao(tributadas) / TFracao(todas) : TFracao();
    for (TDateTime mes : fechamentos) {
      banco::TComando bens(c_.Db(),
          "SELECT VALORICMS, COALESCE(PARCELAS, 48), DATAENTRADA FROM HS_CIAPBEM"
          " WHERE IDFILIAL = ? AND DATAENTRADA <= ? AND (DATABAIXA IS NULL OR DATABAIXA >= ?)");
      banco::Vincular(bens, f.IdFilial, DataISO(mes), DataISO(InicioDoMes(mes)));
      while (bens.executeStep()) {
        int parcelas = bens.getColumn(1).getInt();
        TDateTime entrada;
        if (!TentarLerData(bens.getColumn(2).getString(), entrada)) continue;
        auto e = DecodeDate(entrada), m = DecodeDate(mes);
        int decorridos = (m.ano - e.ano) * 12 + (m.mes - e.mes);  // 0 or more: entered by the month end
        if (decorridos >= parcelas) continue;  // also an asset of no instalments (0 or fewer)
        const Currency icms = Currency::FromDouble(bens.getColumn(0).getDouble());
        total += (TFracao(icms) / TFracao(parcelas) * fator).ParaMoeda();
      }
    }
  });
  GravarCreditoCalculado(f, ini, fim, "CRÉDITO DO ATIVO PERMANENTE - CIAP", ArredondarMoeda(total, 2));
}

// Presumed and input credits: the configured rate (percent) over the accounting value of the
// items of the period whose CFOP begins with one of the configured prefixes; exits for the
// transport credit, entries for the two input credits.
void TApuracaoFuncoes::CalcularCreditoPresumido(const TFilial& f, TDateTime ini, TDateTime fim, const std::string& tipo,
                                                const std::string& descricao, bool saidas) {
  Currency total;
  servicos::Protegido(("Crédito presumido (" + tipo + ")").c_str(), [&] {
    banco::TComando cfg(c_.Db(),
        "SELECT ALIQUOTA, CFOPS FROM HS_CREDITOPRESUMIDO WHERE IDFILIAL = ? AND TIPO = ?"
        " AND DATAINICIO <= ? AND (DATAFIM IS NULL OR DATAFIM >= ?)");
    banco::Vincular(cfg, f.IdFilial, tipo, DataISO(ini), DataISO(fim));
    while (cfg.executeStep()) {
      const TFracao aliquota = TFracao::DeReal(cfg.getColumn(0).getDouble());
      std::string cfops = cfg.getColumn(1).getString();
      std::string sql = saidas
          ? "SELECT COALESCE(SUM(D.VLRCONTABIL), 0) FROM ES02_SAIDA S JOIN ES02_SAIDADET D ON (D.IDSAIDA = S.IDSAIDA)"
            " JOIN ES02_CFOP C ON (C.IDCFOP = D.IDCFOP) WHERE S.IDFILIAL = ? AND S.DATAEMISSAO BETWEEN ? AND ?"
          : "SELECT COALESCE(SUM(D.VLRCONTABIL), 0) FROM ES02_ENTRADA S JOIN ES02_ENTRADADET D ON (D.IDENTRADA = S.IDENTRADA)"
            " JOIN ES02_CFOP C ON (C.IDCFOP = D.IDCFOP) WHERE S.IDFILIAL = ? AND S.DATAENTRADA BETWEEN ? AND ?";
      std::vector<std::string> prefixos;
      for (size_t p = 0; p < cfops.size();) {
        size_t v = cfops.find(',', p);
        if (v == std::string::npos) v = cfops.size();
        std::string t = texto::Aparar(cfops.substr(p, v - p));
        if (!t.empty()) prefixos.push_back(t);
        p = v + 1;
      }
      if (prefixos.empty()) continue;
      std::string condicoes;
      for ([[maybe_unused]] const auto& p : prefixos)
        condicoes += (condicoes.empty() ? "" : " OR ") + std::string("substr(C.CFOP, 1, length(?)) = ?");
      sql += " AND (" + condicoes + ")";
      banco::TComando soma(c_.Db(), sql);
      banco::Vincular(soma, f.IdFilial, DataISO(ini), DataISO(fim));
      int k = 4;
      for (const auto& p : prefixos) {
        soma.bind(k++, p);
        soma.bind(k++, p);
      }
      soma.executeStep();
      const Currency base = Currency::FromDouble(soma.getColumn(0).getDouble());
      total += (TFracao(base) * aliquota / TFracao(100)).ParaMoeda();
    }
  });
  GravarCreditoCalculado(f, ini, fim, descricao, ArredondarMoeda(total, 2));
}

void TApuracaoFuncoes::CalcularCreditoPresumidoTransporte(const TFilial& f, TDateTime ini, TDateTime fim) {
  CalcularCreditoPresumido(f, ini, fim, "TRANSPORTE", "CRÉDITO PRESUMIDO - PRESTAÇÕES DE TRANSPORTE", true);
}

void TApuracaoFuncoes::CalcularInsumoCreditoIndustria(const TFilial& f, TDateTime ini, TDateTime fim) {
  CalcularCreditoPresumido(f, ini, fim, "INSUMO_INDUSTRIA", "CRÉDITO DE INSUMOS - INDÚSTRIA", false);
}

void TApuracaoFuncoes::CalcularInsumoCreditoTransporte(const TFilial& f, TDateTime ini, TDateTime fim) {
  CalcularCreditoPresumido(f, ini, fim, "INSUMO_TRANSPORTE", "CRÉDITO DE INSUMOS - TRANSPORTE", false);
}
