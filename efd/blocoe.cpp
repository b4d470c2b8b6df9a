#include "efd/blocoe.h"

#include <algorithm>
#include <optional>

#include <unistd.h>

#include "host/banco/motor.h"

#include "efd/ajustesefd.h"
#include "host/banco/conexao.h"
#include "host/banco/periodoalterado.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"
#include "host/impressao/substituicao.h"
#include "host/servicos/qdinterface.h"

namespace efd {

namespace {

const std::string kImpostoICMS = "2001";

std::string DataEFD(TDateTime d) {
  if (d == 0) return {};
  const TDataPartes p = DecodeDate(d);
  return FormatarZeros(p.dia, 2) + FormatarZeros(p.mes, 2) + FormatarZeros(p.ano, 4);
}

std::string MesEFD(TDateTime d) {
  const TDataPartes p = DecodeDate(d);
  return FormatarZeros(p.mes, 2) + FormatarZeros(p.ano, 4);
}

Currency Maior(Currency a, Currency b) { return a > b ? a : b; }

// A settlement entry of the period as the block needs it.
struct TLancamento {
  int64_t Id = 0;
  int32_t Tipo = 0;
  Currency Valor;
  std::string Descricao, Codigo, Registro;
  int Campo = 0;
  int64_t IdCodigoRec = 0;
  std::string Vencimento;  // specific debits: due date as typed (dd/mm/yyyy)
};

class TMontagem {
 public:
  TMontagem(TQDConnection& c, int64_t idFilial) : db_(c.Db()), idFilial_(idFilial) {
    banco::TComando q(db_,
        "SELECT COALESCE(M.UF, '') FROM SC00_FILIAL F LEFT JOIN CA06_MUNICIPIO M ON M.IDMUNICIPIO = F.IDMUNICIPIO"
        " WHERE F.IDFILIAL = ?");
    q.bind(1, idFilial);
    if (!q.executeStep()) throw EBlocoE("Estabelecimento " + std::to_string(idFilial) + " não encontrado.");
    uf_ = q.getColumn(0).getString();
  }

  TBlocoE Montar(TDateTime inicio, TDateTime fim) {
    TBlocoE b;
    for (const auto& [ini, f] : Periodos(kImpostoICMS, inicio, fim)) b.ICMS.push_back(ApuracaoICMS(ini, f, b.Avisos));
    if (b.ICMS.empty())
      throw EBlocoE("Não há apuração do ICMS gravada para o estabelecimento " + std::to_string(idFilial_) + " de " +
                    DataBR(inicio) + " a " + DataBR(fim) + ": apure o período antes de gerar o bloco E.");
    banco::TComando st(db_, "SELECT UF, IMPOSTO FROM HS_CODIGOICMSST ORDER BY UF");
    while (st.executeStep()) {
      const std::string uf = st.getColumn(0).getString(), imposto = st.getColumn(1).getString();
      for (const auto& [ini, f] : Periodos(imposto, inicio, fim)) b.ST.push_back(ApuracaoST(uf, imposto, ini, f, b.Avisos));
    }
    return b;
  }

 private:
  banco::TBanco& db_;
  int64_t idFilial_;
  std::string uf_;

  // The periods the settlement recorded: each one writes its register totals (type 55) with the
  // period's first and last day.
  std::vector<std::pair<TDateTime, TDateTime>> Periodos(const std::string& imposto, TDateTime inicio, TDateTime fim) {
    banco::TComando q(db_,
        "SELECT DISTINCT DATA, DATAFIM FROM ES02_LCTOAPUR WHERE IDFILIAL = ? AND IMPOSTO = ? AND TPLANCAMENTO = 55"
        " AND GERADO = 1 AND DATA >= ? AND DATAFIM <= ? ORDER BY DATA");
    banco::Vincular(q, idFilial_, imposto, DataISO(inicio), DataISO(fim));
    std::vector<std::pair<TDateTime, TDateTime>> r;
    while (q.executeStep()) {
      TDateTime a = 0, b = 0;
      TentarLerData(q.getColumn(0).getString(), a);
      TentarLerData(q.getColumn(1).getString(), b);
      r.emplace_back(a, b);
    }
    return r;
  }

  Currency Gravado(const std::string& imposto, int32_t tipo, TDateTime data, TDateTime dataFim) {
    banco::TComando q(db_,
        "SELECT COALESCE(SUM(VALOR), 0) FROM ES02_LCTOAPUR WHERE IDFILIAL = ? AND IMPOSTO = ? AND TPLANCAMENTO = ?"
        " AND GERADO = 1 AND DATA = ? AND DATAFIM = ?");
    banco::Vincular(q, idFilial_, imposto, tipo, DataISO(data), DataISO(dataFim));
    q.executeStep();
    return Currency::FromDouble(q.getColumn(0).getDouble());
  }

  // The establishments whose entries the settlement reads: a centraliser reads those of every
  // establishment of its group (same company and keys, centraliser or centralised in the period).
  std::string Grupo(TDateTime ini, TDateTime fim) {
    banco::TComando q(db_,
        "SELECT DISTINCT O.IDFILIAL FROM HS_CENTRALIZACAO M"
        "  JOIN SC00_FILIAL FM ON (FM.IDFILIAL = M.IDFILIAL)"
        "  JOIN HS_CENTRALIZACAO O ON (O.CHAVE1 = M.CHAVE1 AND O.CHAVE2 = M.CHAVE2 AND O.CHAVE3 = M.CHAVE3"
        "       AND O.TIPO IN ('2', '3') AND O.DATAINICIO <= ?3 AND (O.DATAFIM IS NULL OR O.DATAFIM >= ?2))"
        "  JOIN SC00_FILIAL FO ON (FO.IDFILIAL = O.IDFILIAL AND FO.IDEMPRESA = FM.IDEMPRESA)"
        " WHERE M.IDFILIAL = ?1 AND M.TIPO = '2' AND M.DATAINICIO <= ?2 AND (M.DATAFIM IS NULL OR M.DATAFIM >= ?2)");
    banco::Vincular(q, idFilial_, DataISO(ini), DataISO(fim));
    std::string lista;
    while (q.executeStep()) lista += (lista.empty() ? "" : ",") + std::to_string(q.getColumn(0).getInt64());
    return lista.empty() ? std::to_string(idFilial_) : lista;
  }

  std::vector<TLancamento> Lancamentos(const std::string& imposto, TDateTime ini, TDateTime fim) {
    banco::TComando q(db_,
        "SELECT L.IDLCTOAPUR, L.TPLANCAMENTO, L.VALOR, COALESCE(L.DESCRICAO, ''), COALESCE(A.INFORMACAO1, ''),"
        "       COALESCE(A.INFORMACAO2, ''), COALESCE(A.INFORMACAO3, ''), COALESCE(L.IDCODIGOREC, 0),"
        "       COALESCE(V.INFORMACAO2, '')"
        "  FROM ES02_LCTOAPUR L"
        "  LEFT JOIN ES02_LCTOAPURAUX A ON (A.IDLCTOAPUR = L.IDLCTOAPUR AND A.TP = ?4)"
        "  LEFT JOIN ES02_LCTOAPURAUX V ON (V.IDLCTOAPUR = L.IDLCTOAPUR AND V.TP = 1)"
        " WHERE L.IDFILIAL IN (" + Grupo(ini, fim) + ") AND L.IMPOSTO = ?1 AND L.DATA BETWEEN ?2 AND ?3"
        "   AND L.TPLANCAMENTO IN (1, 2, 4, 5, 8, 10, 13, 15) ORDER BY L.IDLCTOAPUR");
    // Every parameter is used: the server cannot type one the text never reads.
    banco::Vincular(q, imposto, DataISO(ini), DataISO(fim), kAuxCodigoEFD);
    std::vector<TLancamento> r;
    while (q.executeStep()) {
      TLancamento l;
      l.Id = q.getColumn(0).getInt64();
      l.Tipo = q.getColumn(1).getInt();
      l.Valor = Currency::FromDouble(q.getColumn(2).getDouble());
      l.Descricao = q.getColumn(3).getString();
      l.Codigo = q.getColumn(4).getString();
      l.Registro = q.getColumn(5).getString();
      const std::string campo = q.getColumn(6).getString();
      l.Campo = campo.empty() ? 0 : std::stoi(campo);
      l.IdCodigoRec = q.getColumn(7).getInt64();
      l.Vencimento = q.getColumn(8).getString();
      r.push_back(std::move(l));
    }
    return r;
  }

  std::vector<std::string> Referencias(int64_t idLcto) {
    banco::TComando q(db_,
        "SELECT INFORMACAO1 FROM ES02_LCTOAPURAUX WHERE IDLCTOAPUR = ? AND TP = ? ORDER BY IDLCTOAPURAUX");
    banco::Vincular(q, idLcto, kAuxReferenciaEFD);
    std::vector<std::string> r;
    while (q.executeStep()) r.push_back(q.getColumn(0).getString());
    return r;
  }

  // Adjustments typed in the settlement (or written by the host, or imported from E111/E220) are
  // listed one by one; document adjustments and documents of other periods are only totals.
  void Ajuste(const TLancamento& l, bool st, const std::string& uf, std::vector<TAjusteApuracaoEFD>& ajustes) {
    const bool daApuracao = l.Registro.empty() || l.Registro == "E111" || l.Registro == "E220";
    if (!daApuracao) return;
    TAjusteApuracaoEFD a;
    a.Codigo = l.Codigo.empty() ? CodigoGenerico(uf, st, l.Tipo) : l.Codigo;
    a.Descricao = l.Descricao;
    a.Valor = l.Valor;
    a.Referencias = Referencias(l.Id);
    ajustes.push_back(std::move(a));
  }

  // Payment of a specific debit: its own revenue code and due date when the entry has them.
  TObrigacaoEFD DebitoEspecifico(const TLancamento& l, const std::string& codigoOr, TDateTime ini) {
    TObrigacaoEFD o{codigoOr, l.Valor, 0, "", MesEFD(ini), {}};
    TentarLerData(l.Vencimento, o.Vencimento);
    if (l.IdCodigoRec > 0) {
      banco::TComando q(db_, "SELECT CODIGO FROM ES02_CODIGOREC WHERE IDCODIGOREC = ?");
      q.bind(1, l.IdCodigoRec);
      if (q.executeStep()) o.Receita = q.getColumn(0).getString();
    }
    return o;
  }

  void Imposto(const std::string& imposto, const std::string& codigoOr, TDateTime ini, TDateTime fim,
               std::vector<TObrigacaoEFD>& obrigacoes, Currency& gravado) {
    banco::TComando q(db_,
        "SELECT VLRIMPOSTO, COALESCE(VENCIMENTO, ''), COALESCE(CODIGOREC, '') FROM TR04_IMPOSTO"
        " WHERE IDFILIAL = ? AND IMPOSTO = ? AND INICIO = ? AND FIM = ? AND TP = 1");
    banco::Vincular(q, idFilial_, imposto, DataISO(ini), DataISO(fim));
    if (!q.executeStep()) return;
    gravado = Currency::FromDouble(q.getColumn(0).getDouble());
    if (gravado <= Currency()) return;
    TObrigacaoEFD o{codigoOr, gravado, 0, q.getColumn(2).getString(), MesEFD(ini), {}};
    TentarLerData(q.getColumn(1).getString(), o.Vencimento);
    obrigacoes.push_back(std::move(o));
  }

  // A specific debit without its own revenue code or due date is paid with the period's tax: it
  // takes those of the tax recorded (the last obligation), when there is one.
  static void CompletarDebitosEspecificos(std::vector<TObrigacaoEFD>& obrigacoes) {
    if (obrigacoes.empty()) return;
    const TObrigacaoEFD imposto = obrigacoes.back();
    for (TObrigacaoEFD& o : obrigacoes) {
      if (o.Receita.empty()) o.Receita = imposto.Receita;
      if (o.Vencimento == 0) o.Vencimento = imposto.Vencimento;
    }
  }

  // The payment code configured for the period: of the ICMS (ES02_CFG TP '2'), of the ICMS-ST of
  // a state (its inscription's code, else in the own state ES02_CFG TP '7'); its due date by its rule.
  std::optional<std::pair<std::string, TDateTime>> Configurado(bool st, const std::string& uf, TDateTime ini,
                                                               TDateTime fim) {
    banco::TComando q(db_,
        "SELECT R.CODIGO, R.TPDIAVENCTO, COALESCE(R.DIAVENCTO, ''), C.ORDEM FROM ES02_CODIGOREC R JOIN ("
        " SELECT IDCODIGOREC AS ID, 0 AS ORDEM FROM HS_INSCRICAOST WHERE ?5 = 1 AND IDFILIAL = ?1 AND UF = ?6"
        "   AND IDCODIGOREC > 0 AND DATAINICIO <= ?2 AND (DATAFIM IS NULL OR DATAFIM >= ?3)"
        " UNION ALL SELECT CAST(INFORMACAO1 AS INTEGER), 1 FROM ES02_CFG WHERE IDFILIAL = ?1 AND ORIGEM = 2 AND TP = ?4"
        "   AND DATAINICIO <= ?2 AND (DATAFIM IS NULL OR DATAFIM >= ?3)) C ON C.ID = R.IDCODIGOREC ORDER BY C.ORDEM");
    banco::Vincular(q, idFilial_, DataISO(ini), DataISO(fim), std::string(st ? (uf == uf_ ? "7" : "") : "2"),
                    st ? 1 : 0, uf);
    if (!q.executeStep()) return std::nullopt;
    const std::string dia = q.getColumn(2).getString();
    const bool numero = !dia.empty() && dia.size() < 6 && dia.find_first_not_of("0123456789") == std::string::npos;
    return std::make_pair(q.getColumn(0).getString(),
                          VencimentoDaRegra(q.getColumn(1).getInt(), fim, numero ? std::stoi(dia) : 0));
  }

  // Revenue code and due date are mandatory in E116 and E250: what the settlement did not record
  // comes from the configuration; without one the block cannot be written.
  void CompletarPelaConfiguracao(std::vector<TObrigacaoEFD>& obrigacoes, bool st, const std::string& uf,
                                 TDateTime ini, TDateTime fim, const std::string& quem) {
    for (TObrigacaoEFD& o : obrigacoes) {
      if (!o.Receita.empty() && o.Vencimento != 0) continue;
      const auto cfg = Configurado(st, uf, ini, fim);
      if (!cfg)
        throw EBlocoE("O bloco E não pode ser gerado: a obrigação " + o.Codigo + " de " + FormatarValor(o.Valor) +
                      " do " + quem + " não tem código de receita ou vencimento, e o estabelecimento " +
                      std::to_string(idFilial_) + " não tem código de recolhimento configurado para o período: " +
                      (st ? "informe-o na inscrição de ICMS-ST em " + uf + " (HS_INSCRICAOST.IDCODIGOREC)" +
                                (uf == uf_ ? " ou em ES02_CFG TP '7'" : "")
                          : std::string("informe-o em ES02_CFG TP '2' (um código de ES02_CODIGOREC)")) +
                      ".");
      if (o.Receita.empty()) o.Receita = cfg->first;
      if (o.Vencimento == 0) o.Vencimento = cfg->second;
    }
  }

  // The client's own lines of the period an import kept: its declaratory lines (E115) always, its
  // obligations (E116 or E250) in place of ours when they pay what the block computes (fields 13 +
  // 15), as the client wrote them (revenue codes, due dates, processes, reference months).
  void DoCliente(const std::string& imposto, TDateTime ini, TDateTime fim, const char* registro, Currency pede,
                 std::vector<TObrigacaoEFD>& obrigacoes, std::vector<std::string>* declaracoes, const std::string& quem,
                 std::vector<std::string>& avisos) {
    banco::TComando q(db_,
        "SELECT REGISTRO, VALOR, LINHA FROM HS_OBRIGACAOEFD WHERE IDFILIAL = ? AND IMPOSTO = ? AND DATAINICIO = ?"
        " AND DATAFIM = ? ORDER BY IDOBRIGACAOEFD");
    banco::Vincular(q, idFilial_, imposto, DataISO(ini), DataISO(fim));
    std::vector<TObrigacaoEFD> deles;
    Currency soma;
    while (q.executeStep()) {
      const std::string reg = q.getColumn(0).getString();
      if (reg == "E115" && declaracoes) declaracoes->push_back(q.getColumn(2).getString());
      if (reg != registro) continue;
      TObrigacaoEFD o;
      o.Valor = Currency::FromDouble(q.getColumn(1).getDouble());
      o.Linha = q.getColumn(2).getString();
      soma += o.Valor;
      deles.push_back(std::move(o));
    }
    if (deles.empty()) return;
    if (soma == pede) {
      obrigacoes = std::move(deles);
      return;
    }
    avisos.push_back(quem + ": as obrigações do arquivo importado (" + registro + ") somam " + FormatarValor(soma) +
                     " e a apuração pede " + FormatarValor(pede) + "; o bloco traz as da apuração.");
  }

  void Conferir(const std::string& quem, Currency calculado, Currency gravado, const char* campo,
                std::vector<std::string>& avisos) {
    if (calculado != gravado)
      avisos.push_back(quem + ": " + campo + " pela aritmética da EFD é " + FormatarValor(calculado) +
                       "; a apuração gravou " + FormatarValor(gravado) + ".");
  }

  TApuracaoICMSEFD ApuracaoICMS(TDateTime ini, TDateTime fim, std::vector<std::string>& avisos) {
    TApuracaoICMSEFD p;
    p.Inicio = ini;
    p.Fim = fim;
    p.TemE110 = true;
    auto& c = p.E110;
    c[2] = Gravado(kImpostoICMS, 55, ini, fim);
    c[6] = Gravado(kImpostoICMS, 54, ini, fim);
    for (const TLancamento& l : Lancamentos(kImpostoICMS, ini, fim)) {
      if (l.Tipo == kSaldoCredorAnterior) {
        c[10] += l.Valor;
        continue;
      }
      const int campo = l.Campo != 0 ? l.Campo : CampoDoLancamento(l.Tipo, false);
      if (campo < 2 || campo > 15) continue;
      c[static_cast<size_t>(campo)] += l.Valor;
      if (campo == 4 || campo == 5 || campo == 8 || campo == 9 || campo == 12 || campo == 15) Ajuste(l, false, uf_, p.Ajustes);
      if (l.Tipo == kDebitosEspecificos) p.Obrigacoes.push_back(DebitoEspecifico(l, "090", ini));
    }
    const Currency s = (c[2] + c[3] + c[4] + c[5]) - (c[6] + c[7] + c[8] + c[9] + c[10]);
    c[11] = Maior(s, Currency());
    c[13] = Maior(c[11] - c[12], Currency());
    c[14] = Maior(c[12] - s, Currency());
    Currency devido;
    Imposto(kImpostoICMS, "000", ini, fim, p.Obrigacoes, devido);
    CompletarDebitosEspecificos(p.Obrigacoes);
    const std::string quem = "ICMS de " + DataBR(ini) + " a " + DataBR(fim);
    CompletarPelaConfiguracao(p.Obrigacoes, false, uf_, ini, fim, quem);
    DoCliente(kImpostoICMS, ini, fim, "E116", c[13] + c[15], p.Obrigacoes, &p.Declaracoes, quem, avisos);
    Conferir(quem, c[13], devido, "o ICMS a recolher (E110 campo 13)", avisos);
    Conferir(quem, c[14], Gravado(kImpostoICMS, kSaldoCredorAnterior, fim + 1, fim + 1),
             "o saldo credor a transportar (E110 campo 14)", avisos);
    return p;
  }

  TApuracaoSTEFD ApuracaoST(const std::string& uf, const std::string& imposto, TDateTime ini, TDateTime fim,
                            std::vector<std::string>& avisos) {
    TApuracaoSTEFD p;
    p.UF = uf;
    p.Inicio = ini;
    p.Fim = fim;
    p.TemE210 = true;
    auto& c = p.E210;
    c[8] = Gravado(imposto, 55, ini, fim);
    CreditosST(uf, ini, fim, Gravado(imposto, 54, ini, fim), c);
    for (const TLancamento& l : Lancamentos(imposto, ini, fim)) {
      if (l.Tipo == kSaldoCredorAnterior) {
        c[3] += l.Valor;
        continue;
      }
      const int campo = l.Campo != 0 ? l.Campo : CampoDoLancamento(l.Tipo, true);
      if (campo < 3 || campo > 15) continue;
      c[static_cast<size_t>(campo)] += l.Valor;
      if (campo == 6 || campo == 9 || campo == 12 || campo == 15) Ajuste(l, true, uf, p.Ajustes);
      if (l.Tipo == kDebitosEspecificos)
        p.Obrigacoes.push_back(DebitoEspecifico(l, uf == uf_ ? "002" : "999", ini));
    }
    const Currency s = (c[8] + c[9] + c[10]) - (c[3] + c[4] + c[5] + c[6] + c[7]);
    c[11] = Maior(s, Currency());
    c[13] = Maior(c[11] - c[12], Currency());
    c[14] = Maior(c[12] - s, Currency());
    for (size_t n = 4; n <= 15; ++n)
      if (n != 11 && n != 13 && n != 14 && c[n] != Currency()) p.ComMovimento = true;
    Currency devido;
    Imposto(imposto, uf == uf_ ? "002" : "999", ini, fim, p.Obrigacoes, devido);
    if (devido == Currency()) Guias(imposto, ini, fim, p.Obrigacoes);
    CompletarDebitosEspecificos(p.Obrigacoes);
    const std::string quem = "ICMS-ST " + uf + " de " + DataBR(ini) + " a " + DataBR(fim);
    CompletarPelaConfiguracao(p.Obrigacoes, true, uf, ini, fim, quem);
    DoCliente(imposto, ini, fim, "E250", c[13] + c[15], p.Obrigacoes, nullptr, quem, avisos);
    Currency pago;
    for (const TObrigacaoEFD& o : p.Obrigacoes) pago += o.Valor;
    if (pago != c[13] + c[15])
      avisos.push_back(quem + ": as obrigações (E250) somam " + FormatarValor(pago) + " e o leiaute pede " +
                       FormatarValor(c[13] + c[15]) + " (E210 campos 13 e 15): faltam guias GNRE do período.");
    // Without an inscription in the state the settlement records no tax due: the GNRE guides pay it.
    if (devido != Currency() || c[13] == Currency())
      Conferir(quem, c[13], devido, "o ICMS-ST a recolher (E210 campo 13)", avisos);
    Conferir(quem, c[14], Gravado(imposto, kSaldoCredorAnterior, fim + 1, fim + 1),
             "o saldo credor a transportar (E210 campo 14)", avisos);
    return p;
  }

  // Without an inscription in the state the ST is paid by GNRE: each guide of the period's exits is
  // an obligation, with the revenue code and due date printed on it.
  void Guias(const std::string& imposto, TDateTime ini, TDateTime fim, std::vector<TObrigacaoEFD>& obrigacoes) {
    banco::TComando q(db_,
        "SELECT G.VALORGNRE, COALESCE(G.VENCIMENTO, ''), COALESCE(G.CODIGOREC, '') FROM ES02_GNRE G"
        " WHERE G.IDFILIAL = ?1 AND G.IMPOSTO = ?2 AND EXISTS (SELECT 1 FROM ES02_GNRES R"
        "   JOIN ES02_SAIDASPINF I ON I.IDSAIDASPINF = R.IDSAIDASPINF JOIN ES02_SAIDA S ON S.IDSAIDA = I.IDSAIDA"
        "  WHERE R.IDGNRE = G.IDGNRE AND S.DATAEMISSAO BETWEEN ?3 AND ?4) ORDER BY G.VENCIMENTO, G.IDGNRE");
    banco::Vincular(q, idFilial_, imposto, DataISO(ini), DataISO(fim));
    while (q.executeStep()) {
      TObrigacaoEFD o{"999", Currency::FromDouble(q.getColumn(0).getDouble()), 0, q.getColumn(2).getString(), MesEFD(ini), {}};
      TentarLerData(q.getColumn(1).getString(), o.Vencimento);
      obrigacoes.push_back(std::move(o));
    }
  }

  // The ST credits of the entries register, by the fields of E210: returns, refunds, the rest.
  void CreditosST(const std::string& uf, TDateTime ini, TDateTime fim, Currency total, TCamposApuracao& c) {
    banco::TComando q(db_,
        "SELECT substr(CFOP.CFOP, 1, 5), SUM(D.ICMSST) FROM ES02_ENTRADA E"
        "  JOIN ES02_ENTRADADET D ON (D.IDENTRADA = E.IDENTRADA)"
        "  JOIN ES02_CFOP CFOP ON (CFOP.IDCFOP = D.IDCFOP)"
        "  JOIN CO01_PLANO P ON (P.IDPLANO = E.IDPLANO)"
        "  JOIN ES02_CLIFOR C ON (C.IDCLIFOR = P.IDCLIFOR)"
        "  JOIN CA06_MUNICIPIO M ON (M.IDMUNICIPIO = C.IDMUNICIPIO)"
        " WHERE E.IDFILIAL = ? AND E.DATAENTRADA BETWEEN ? AND ? AND M.UF = ? AND D.CREDITOST = 1 GROUP BY 1");
    banco::Vincular(q, idFilial_, DataISO(ini), DataISO(fim), uf);
    static const std::vector<std::string> devolucoes = {"1.410", "1.411", "1.414", "1.415", "1.660", "1.661", "1.662",
                                                        "2.410", "2.411", "2.414", "2.415", "2.660", "2.661", "2.662"};
    Currency soma;
    while (q.executeStep()) {
      const std::string cfop = q.getColumn(0).getString();
      const Currency v = Currency::FromDouble(q.getColumn(1).getDouble());
      soma += v;
      if (std::find(devolucoes.begin(), devolucoes.end(), cfop) != devolucoes.end()) c[4] += v;
      else if (cfop == "1.603" || cfop == "2.603") c[5] += v;
      else c[6] += v;
    }
    c[6] += total - soma;  // what the register counted beyond these items (none, normally)
  }
};

void Linha(std::string& saida, int64_t& linhas, const std::vector<std::string>& campos) {
  saida += "|";
  for (const std::string& c : campos) saida += c + "|";
  saida += "\r\n";
  ++linhas;
}

// A line kept as a file had it, from its record name on.
void Guardada(std::string& s, int64_t& n, const std::string& linha) {
  s += "|" + linha + "\r\n";
  ++n;
}

void Ajustes(std::string& s, int64_t& n, const char* reg, const std::vector<TAjusteApuracaoEFD>& ajustes) {
  for (const TAjusteApuracaoEFD& a : ajustes) {
    Linha(s, n, {reg, a.Codigo, a.Descricao, ValorEFD(a.Valor)});
    for (const std::string& ref : a.Referencias) Guardada(s, n, ref);
  }
}

void Obrigacoes(std::string& s, int64_t& n, const char* reg, const std::vector<TObrigacaoEFD>& obrigacoes) {
  for (const TObrigacaoEFD& o : obrigacoes) {
    if (!o.Linha.empty()) Guardada(s, n, o.Linha);
    else Linha(s, n, {reg, o.Codigo, ValorEFD(o.Valor), DataEFD(o.Vencimento), o.Receita, "", "", "", "", o.Referencia});
  }
}

}  // namespace

std::string ValorEFD(Currency valor) {
  const int64_t centavos = ArredondarMoeda(valor, 2).Raw() / 100;
  const int64_t abs = centavos < 0 ? -centavos : centavos;
  return (centavos < 0 ? "-" : "") + std::to_string(abs / 100) + "," + FormatarZeros(abs % 100, 2);
}

TBlocoE MontarBlocoE(TQDConnection& conexao, int64_t idFilial, TDateTime inicio, TDateTime fim) {
  try {
    banco::ExigirApuracaoAtual(conexao, idFilial, inicio, fim, "O bloco E");
    return TMontagem(conexao, idFilial).Montar(inicio, fim);
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string("Erro ao ler a apuração para o bloco E: ") + e.what());
  }
}

void GravarBlocoE(const TBlocoE& bloco, const std::string& caminho) {
  const std::string texto = ParaLatin1(EscreverBlocoE(bloco));
  impressao::TSubstituicaoArquivos saida;
  const int fd = impressao::AbrirRascunho(saida.Adicionar(caminho));
  if (fd < 0) throw EBlocoE("Não foi possível criar o arquivo " + caminho + " (pasta inexistente ou sem permissão de escrita).");
  bool gravado = true;
  try {
    impressao::PontoDeFalha("gravar o bloco E");
    for (size_t feito = 0; gravado && feito < texto.size();) {
      const ssize_t n = ::write(fd, texto.data() + feito, texto.size() - feito);
      gravado = n > 0;
      if (gravado) feito += static_cast<size_t>(n);
    }
  } catch (...) {
    ::close(fd);
    throw;
  }
  gravado = ::close(fd) == 0 && gravado;
  if (!gravado) throw EBlocoE("Não foi possível gravar o arquivo " + caminho + "; disco cheio?");
  saida.Confirmar();
}

std::string EscreverBlocoE(const TBlocoE& b) {
  std::string s;
  int64_t n = 0;
  Linha(s, n, {"E001", "0"});
  for (const TApuracaoICMSEFD& p : b.ICMS) {
    Linha(s, n, {"E100", DataEFD(p.Inicio), DataEFD(p.Fim)});
    std::vector<std::string> e110 = {"E110"};
    for (size_t c = 2; c <= 15; ++c) e110.push_back(ValorEFD(p.E110[c]));
    Linha(s, n, e110);
    Ajustes(s, n, "E111", p.Ajustes);
    for (const std::string& d : p.Declaracoes) Guardada(s, n, d);
    Obrigacoes(s, n, "E116", p.Obrigacoes);
  }
  for (const TApuracaoSTEFD& p : b.ST) {
    Linha(s, n, {"E200", p.UF, DataEFD(p.Inicio), DataEFD(p.Fim)});
    std::vector<std::string> e210 = {"E210", p.ComMovimento ? "1" : "0"};
    for (size_t c = 3; c <= 15; ++c) e210.push_back(ValorEFD(p.E210[c]));
    Linha(s, n, e210);
    Ajustes(s, n, "E220", p.Ajustes);
    Obrigacoes(s, n, "E250", p.Obrigacoes);
  }
  Linha(s, n, {"E990", std::to_string(n + 1)});
  return s;
}

}  // namespace efd
