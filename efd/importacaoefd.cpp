#include "efd/importacaoefd.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "host/banco/motor.h"

#include "efd/ajustesefd.h"
#include "host/banco/conexao.h"
#include "host/banco/periodoalterado.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"

namespace efd {

namespace {

const std::string kImpostoICMS = "2001";
const std::string kSaldoAnterior = "SALDO CREDOR DE PERÍODO ANTERIOR";

std::string Digitos(const std::string& s) {
  std::string r;
  for (char c : s)
    if (c >= '0' && c <= '9') r.push_back(c);
  return r;
}

std::optional<std::string> Nulo(const std::string& s) { return s.empty() ? std::nullopt : std::optional(s); }

std::string EspecieDoModelo(const std::string& modelo) {
  static const std::map<std::string, std::string> m = {
      {"01", "NF"},   {"1B", "NFA"},  {"04", "NFP"},  {"06", "NFEE"}, {"07", "NFST"},  {"08", "CTRC"},
      {"21", "NFSC"}, {"22", "NFTC"}, {"2D", "CF"},   {"2E", "CF"},   {"28", "NFGC"},  {"29", "NFAG"},
      {"55", "NFE"},  {"57", "CTE"},  {"59", "CFE"},  {"60", "CFEE"}, {"62", "NFCOM"}, {"63", "BPE"},
      {"65", "NFCE"}, {"66", "NF3E"}, {"67", "CTEOS"}};
  auto it = m.find(modelo);
  return it != m.end() ? it->second : modelo;
}

std::string DescricaoDocumento(const TDocumentoEFD& d) {
  return EspecieDoModelo(d.Modelo) + " " + std::to_string(d.Numero) + " DE " + DataBR(d.Emissao);
}

// The exempt and "other" columns of the books are not in the file: what the analytical line holds
// beyond the ICMS base goes to "isentas ou não tributadas" when its code says the operation is exempt
// or not taxed (the reduced part of the base when the base is reduced), to "outras" otherwise.
// The code is a CST (origin digit and the two-digit taxation code: 300 is an imported good, taxed)
// except on the exits of a Simples Nacional declarant, which carry a CSOSN.
struct TSemCredito {
  Currency Isentas, NaoTributadas, Outras;
};

TSemCredito SemCredito(const TAnaliticoEFD& a, bool csosn) {
  TSemCredito r;
  Currency resto = a.ValorOperacao - a.BaseICMS;
  if (resto < Currency()) resto = Currency();
  const std::string tributacao = a.Cst.size() == 3 ? a.Cst.substr(1) : a.Cst;
  if (csosn) {
    // exempt range of gross revenue, immune, not taxed
    (a.Cst == "103" || a.Cst == "203" || a.Cst == "300" || a.Cst == "400" ? r.Isentas : r.Outras) = resto;
  } else if (tributacao == "41") {
    r.NaoTributadas = resto;
  } else if (tributacao == "30" || tributacao == "40") {
    r.Isentas = resto;
  } else if (tributacao == "20" || tributacao == "70") {
    r.Isentas = std::min(resto, a.ReducaoBase);
    r.Outras = resto - r.Isentas;
  } else {
    r.Outras = resto;
  }
  return r;
}

class TEscrita {
 public:
  // `a` may still be being read: the establishment and participants (block 0) are there by the
  // first document, the settlement (block E) by Concluir.
  TEscrita(TQDConnection& c, const TArquivoEFD& a, TResumoImportacao& r) : c_(c), db_(c.Db()), a_(a), r_(r) {}

  void Documento(const TDocumentoEFD& d) {
    Iniciar();
    Carregar(d);
  }

  void Concluir() {
    Iniciar();
    Parametros();
    for (const TApuracaoICMSEFD& p : a_.ApuracoesICMS) ApuracaoICMS(p);
    for (const TApuracaoSTEFD& p : a_.ApuracoesST) ApuracaoST(p);
    RegistrarImportacao();
  }

 private:
  TQDConnection& c_;
  banco::TBanco& db_;
  const TArquivoEFD& a_;
  TResumoImportacao& r_;
  bool iniciada_ = false;
  int64_t idEmpresa_ = 0;
  // The special debits written, until block E says how the client paid them.
  struct TDebitoEspecial {
    int64_t Id = 0;
    bool ST = false;
    std::string UF;
    Currency Valor;
    TDateTime Data = 0;
  };
  std::vector<TDebitoEspecial> debitosEspeciais_;
  std::string uf_;
  std::string digestoAnterior_;  // of the import this one replaces
  bool simplesNacional_ = false;  // micro or small enterprise: its exits carry a CSOSN
  std::map<std::string, int64_t> municipios_;
  std::map<std::string, std::optional<int64_t>> planos_;  // by COD_PART
  std::map<std::string, std::string> ufParticipante_;
  std::map<std::string, int64_t> cfops_;
  std::map<std::string, std::string> codigosST_;
  // The inserts of every document, prepared once.
  std::unique_ptr<banco::TComando> saida_, entrada_, itemSaida_, itemEntrada_;

  banco::TComando& Preparada(std::unique_ptr<banco::TComando>& s, const std::string& sql) {
    if (!s) s = std::make_unique<banco::TComando>(db_, sql);
    return *s;
  }

  int64_t Inserir(banco::TComando& s) {
    s.exec();
    return c_.UltimoId();
  }

  // The establishment, the code its exits carry, and the place of this import (the earlier one of
  // the period emptied): what each document needs before it is written.
  void Iniciar() {
    if (iniciada_) return;
    iniciada_ = true;
    Filial();
    Enquadramento();
    SubstituirImportacaoAnterior();
  }

  // ---------------------------------------------------------------------------------------------
  // Establishment and its parameters

  int64_t Municipio(const std::string& ibge, const std::string& ufPadrao, bool exterior = false) {
    const std::string codigo = exterior || ibge.empty() ? "9999999" : ibge;
    if (auto it = municipios_.find(codigo); it != municipios_.end()) return it->second;
    banco::TComando q(db_, "SELECT IDMUNICIPIO FROM CA06_MUNICIPIO WHERE CODIGOIBGE = ? ORDER BY IDMUNICIPIO LIMIT 1");
    q.bind(1, codigo);
    int64_t id = 0;
    if (q.executeStep()) {
      id = q.getColumn(0).getInt64();
    } else {
      const bool fora = codigo == "9999999";
      std::string uf = fora ? "EX" : UFDoMunicipio(codigo);
      if (uf.empty()) uf = ufPadrao;
      banco::TComando ins(db_, "INSERT INTO CA06_MUNICIPIO (NOME, UF, CODIGOIBGE) VALUES (?, ?, ?)");
      banco::Vincular(ins, fora ? std::string("EXTERIOR") : "MUNICÍPIO " + codigo, uf, codigo);
      id = Inserir(ins);
      r_.Avisos.push_back("Município " + codigo + " (" + uf + ") criado sem nome: complete CA06_MUNICIPIO.NOME.");
    }
    return municipios_[codigo] = id;
  }

  void Filial() {
    const TEntidadeEFD& e = a_.Entidade;
    uf_ = e.UF;
    const std::string doc = Digitos(e.Cnpj.empty() ? e.Cpf : e.Cnpj);
    banco::TComando q(db_,
        "SELECT F.IDFILIAL, F.IDEMPRESA, COALESCE(F.IESTADUAL, ''), COALESCE(M.UF, ''), F.NOME"
        "  FROM SC00_FILIAL F LEFT JOIN CA06_MUNICIPIO M ON M.IDMUNICIPIO = F.IDMUNICIPIO"
        " WHERE F.CNPJ = ? ORDER BY F.IDFILIAL");
    q.bind(1, doc);
    int candidatos = 0;
    while (q.executeStep()) {
      ++candidatos;
      const bool mesmaIE = Digitos(q.getColumn(2).getString()) == Digitos(e.IE);
      if (r_.IdFilial == 0 || mesmaIE) {
        r_.IdFilial = q.getColumn(0).getInt64();
        idEmpresa_ = q.getColumn(1).getInt64();
        const std::string uf = q.getColumn(3).getString();
        r_.Filial = q.getColumn(4).getString();
        if (uf != e.UF)
          throw EImportacaoEFD("O estabelecimento " + std::to_string(r_.IdFilial) + " (" + r_.Filial +
                               ") tem o CNPJ " + doc + " do arquivo, mas fica em " + (uf.empty() ? "UF nenhuma" : uf) +
                               "; o arquivo é de " + e.UF + ".");
        if (mesmaIE) break;
      }
    }
    if (candidatos > 1 && r_.IdFilial == 0)
      throw EImportacaoEFD("Há mais de um estabelecimento com o CNPJ " + doc + " e nenhum com a inscrição estadual " +
                           e.IE + " do arquivo.");
    if (r_.IdFilial == 0) CriarFilial(doc);
    r_.Filial += " (CNPJ " + doc + ")";
  }

  void CriarFilial(const std::string& doc) {
    const TEntidadeEFD& e = a_.Entidade;
    const std::string raiz = doc.size() == 14 ? doc.substr(0, 8) : doc;
    banco::TComando emp(db_,
        "SELECT IDEMPRESA FROM SC00_EMPRESA WHERE substr(CNPJ, 1, ?2) = ?1"
        " UNION ALL SELECT IDEMPRESA FROM SC00_FILIAL WHERE substr(CNPJ, 1, ?2) = ?1 LIMIT 1");
    banco::Vincular(emp, raiz, static_cast<int64_t>(raiz.size()));
    if (emp.executeStep()) {
      idEmpresa_ = emp.getColumn(0).getInt64();
    } else {
      banco::TComando ins(db_,
          "INSERT INTO SC00_EMPRESA (EMPRESA, NOME, NOMEFANTASIA, CNPJ)"
          " VALUES ((SELECT COALESCE(MAX(EMPRESA), 0) + 1 FROM SC00_EMPRESA), ?, ?, ?)");
      banco::Vincular(ins, e.Nome, Nulo(e.Fantasia), doc);
      idEmpresa_ = Inserir(ins);
    }
    int64_t numero = doc.size() == 14 ? std::stoll(doc.substr(8, 4)) : 1;
    banco::TComando livre(db_, "SELECT COUNT(*) FROM SC00_FILIAL WHERE IDEMPRESA = ? AND FILIAL = ?");
    banco::Vincular(livre, idEmpresa_, numero);
    if (livre.executeStep() && livre.getColumn(0).getInt() > 0) {
      banco::TComando prox(db_, "SELECT COALESCE(MAX(FILIAL), 0) + 1 FROM SC00_FILIAL WHERE IDEMPRESA = ?");
      prox.bind(1, idEmpresa_);
      prox.executeStep();
      numero = prox.getColumn(0).getInt64();
    }
    banco::TComando ins(db_,
        "INSERT INTO SC00_FILIAL (IDEMPRESA, FILIAL, NOME, NOMEFANTASIA, CNPJ, IESTADUAL, IMUNICIPAL, ENDERECO, NUMERO,"
        " COMPLEMENTO, BAIRRO, CEP, IDMUNICIPIO, TELEFONE1, FAX, EHMATRIZ)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::Vincular(ins, idEmpresa_, numero, e.Nome, Nulo(e.Fantasia), doc, Nulo(e.IE), Nulo(e.IM), Nulo(e.Endereco),
                    Nulo(e.Numero), Nulo(e.Complemento), Nulo(e.Bairro), Nulo(e.Cep), Municipio(e.Municipio, e.UF),
                    Nulo(e.Fone), Nulo(e.Fax), numero == 1 ? 1 : 0);
    r_.IdFilial = Inserir(ins);
    r_.Filial = e.Nome;
    r_.FilialCriada = true;
  }

  // What the settlement needs to know of the establishment, where the database has nothing yet:
  // monthly periods and the regular regime (the file is the regular regime's bookkeeping), the ST
  // inscriptions of the states block E settles, the accountant who signs the terms.
  void SeVazia(const std::string& tabela, const std::string& coluna, int valor) {
    banco::TComando s(db_, "INSERT INTO " + tabela + " (IDFILIAL, DATAINICIO, " + coluna +
                                 ") SELECT ?1, ?2, ?3 WHERE NOT EXISTS (SELECT 1 FROM " + tabela + " WHERE IDFILIAL = ?1)");
    banco::Vincular(s, r_.IdFilial, DataISO(a_.Entidade.Inicio), valor).exec();
  }

  // The regular regime where the establishment has none (the file is the regular regime's
  // bookkeeping); a Simples Nacional declarant's exits carry a CSOSN.
  void Enquadramento() {
    SeVazia("HS_ENQUADRAMENTO", "ENQUADRAMENTO", 2);
    banco::TComando enq(db_,
        "SELECT ENQUADRAMENTO FROM HS_ENQUADRAMENTO WHERE IDFILIAL = ?1 AND DATAINICIO <= ?2"
        " AND (DATAFIM IS NULL OR DATAFIM >= ?2) ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(enq, r_.IdFilial, DataISO(a_.Entidade.Inicio));
    simplesNacional_ = enq.executeStep() && enq.getColumn(0).getInt() != 2;
  }

  void Parametros() {
    const int64_t f = r_.IdFilial;
    const std::string inicio = DataISO(a_.Entidade.Inicio);
    SeVazia("HS_PERIODICIDADE", "PERIODICIDADE", Periodicidade());
    if (uf_ == "SC") SeVazia("HS_REGIMESC", "REGIME", 1);

    std::map<std::string, std::string> inscricoes;  // UF -> inscription
    for (const TApuracaoSTEFD& p : a_.ApuracoesST) inscricoes[p.UF] = p.UF == uf_ ? a_.Entidade.IE : "";
    for (const TInscricaoSTEFD& i : a_.InscricoesST) inscricoes[i.UF] = i.IE;
    for (const auto& [uf, ie] : inscricoes) {
      banco::TComando s(db_,
          // Typed where NOT EXISTS reads them again: the server gives each parameter one type.
          "INSERT INTO HS_INSCRICAOST (IDFILIAL, UF, INSCREST, DATAINICIO) SELECT ?1, CAST(?2 AS VARCHAR), ?3, CAST(?4 AS VARCHAR)"
          " WHERE NOT EXISTS (SELECT 1 FROM HS_INSCRICAOST WHERE IDFILIAL = ?1 AND UF = ?2"
          " AND DATAINICIO <= ?5 AND (DATAFIM IS NULL OR DATAFIM >= ?4))");
      banco::Vincular(s, f, uf, ie, inicio, DataISO(a_.Entidade.Fim));
      if (CodigoST(uf).empty()) {
        r_.Avisos.push_back("UF " + uf + " de um registro E200/0015 desconhecida: inscrição ST não criada.");
        continue;
      }
      if (s.exec() > 0) r_.Avisos.push_back("Inscrição de ICMS-ST em " + uf + " criada (HS_INSCRICAOST).");
    }
    CodigosDeRecolhimento();
    if (a_.Contabilista) {
      banco::TComando s(db_,
          "INSERT INTO ES02_CFG (IDFILIAL, ORIGEM, TP, DATAINICIO, INFORMACAO1, INFORMACAO2, INFORMACAO3)"
          " SELECT ?1, 2, '9', ?2, ?3, ?4, ?5"
          " WHERE NOT EXISTS (SELECT 1 FROM ES02_CFG WHERE IDFILIAL = ?1 AND ORIGEM = 2 AND TP = '9')");
      banco::Vincular(s, f, inicio, a_.Contabilista->Nome, a_.Contabilista->Crc, a_.Contabilista->Cpf).exec();
    }
  }

  // The payment codes the client used (E116 and E250 of the first period) become the
  // establishment's where it has none, with a due-day rule that gives the client's due date: a day
  // of the month after the period (moved past a weekend), of the period's month, of the second
  // month after it, or a number of days after the period's end.
  void CodigosDeRecolhimento() {
    if (!a_.ApuracoesICMS.empty()) {
      const TApuracaoICMSEFD& p = a_.ApuracoesICMS.front();
      for (const TObrigacaoEFD& o : p.Obrigacoes)
        if (o.Codigo == "000") {
          Configurar("2", uf_, o, p.Fim, "ICMS");
          break;
        }
    }
    std::set<std::string> vistos;
    for (const TApuracaoSTEFD& p : a_.ApuracoesST) {
      if (p.Obrigacoes.empty() || !vistos.insert(p.UF).second) continue;
      const TObrigacaoEFD& o = p.Obrigacoes.front();
      if (p.UF == uf_) {
        Configurar("7", p.UF, o, p.Fim, "ICMS-ST");
        continue;
      }
      if (o.Receita.empty()) continue;
      banco::TComando s(db_,
          "UPDATE HS_INSCRICAOST SET IDCODIGOREC = ? WHERE IDFILIAL = ? AND UF = ? AND COALESCE(IDCODIGOREC, 0) = 0"
          " AND DATAINICIO <= ? AND (DATAFIM IS NULL OR DATAFIM >= ?)");
      banco::Vincular(s, CodigoRecolhimento(p.UF, o, p.Fim, "ICMS-ST"), r_.IdFilial, p.UF, DataISO(p.Fim),
                      DataISO(p.Inicio))
          .exec();
    }
  }

  void Configurar(const char* tp, const std::string& uf, const TObrigacaoEFD& o, TDateTime fim, const char* nome) {
    if (o.Receita.empty()) return;
    banco::TComando q(db_, "SELECT 1 FROM ES02_CFG WHERE IDFILIAL = ? AND ORIGEM = 2 AND TP = ?");
    banco::Vincular(q, r_.IdFilial, std::string(tp));
    if (q.executeStep()) return;
    const int64_t id = CodigoRecolhimento(uf, o, fim, nome);
    banco::TComando s(db_,
        "INSERT INTO ES02_CFG (IDFILIAL, ORIGEM, TP, DATAINICIO, INFORMACAO1) VALUES (?, 2, ?, ?, ?)");
    banco::Vincular(s, r_.IdFilial, std::string(tp), DataISO(a_.Entidade.Inicio), std::to_string(id)).exec();
    r_.Avisos.push_back(std::string("Código de recolhimento do ") + nome + " " + o.Receita +
                        " configurado a partir do arquivo (vencimento como o do cliente): confira ES02_CODIGOREC.");
  }

  int64_t CodigoRecolhimento(const std::string& uf, const TObrigacaoEFD& o, TDateTime fim, const char* nome) {
    banco::TComando q(db_, "SELECT IDCODIGOREC FROM ES02_CODIGOREC WHERE UF = ? AND CODIGO = ? ORDER BY IDCODIGOREC");
    banco::Vincular(q, uf, o.Receita);
    if (q.executeStep()) return q.getColumn(0).getInt64();
    int tipo = 3;
    int64_t dia = static_cast<int64_t>(o.Vencimento - fim);
    if (o.Vencimento > 0) {
      const TDataPartes v = DecodeDate(o.Vencimento), f = DecodeDate(fim);
      const int meses = (v.ano - f.ano) * 12 + (v.mes - f.mes);
      if (meses >= 0 && meses <= 2) {
        tipo = meses == 0 ? 2 : meses == 1 ? 0 : 4;
        dia = v.dia;
      }
    }
    if (dia < 0 || dia > 99999) dia = 0;
    banco::TComando s(db_,
        "INSERT INTO ES02_CODIGOREC (UF, CODIGO, DESCRICAO, TPDIAVENCTO, DIAVENCTO) VALUES (?, ?, ?, ?, ?)");
    banco::Vincular(s, uf, o.Receita, std::string(nome) + " (da EFD do cliente)", tipo, std::to_string(dia));
    return Inserir(s);
  }

  // The periodicity the file's own settlement periods show (their first one's days): monthly
  // unless E100 splits the month.
  int Periodicidade() const {
    if (a_.ApuracoesICMS.empty()) return 7;
    const TApuracaoICMSEFD& p = a_.ApuracoesICMS.front();
    const TDataPartes i = DecodeDate(p.Inicio), f = DecodeDate(p.Fim);
    if (i.mes != f.mes || i.dia != 1) return 7;
    switch (f.dia) {
      case 1: return 1;
      case 5: return 2;
      case 7: return 3;
      case 10: return 4;
      case 15: return 5;
      default: return 7;
    }
  }

  const std::string& CodigoST(const std::string& uf) {
    auto it = codigosST_.find(uf);
    if (it != codigosST_.end()) return it->second;
    banco::TComando q(db_, "SELECT IMPOSTO FROM HS_CODIGOICMSST WHERE UF = ?");
    q.bind(1, uf);
    return codigosST_[uf] = q.executeStep() ? q.getColumn(0).getString() : std::string();
  }

  // An earlier import of the same establishment and period is replaced: what it loaded goes, its
  // row stays (same id). One that overlaps the period without matching it cannot be told apart
  // from this one's documents, so the import stops.
  void SubstituirImportacaoAnterior() {
    r_.Inicio = a_.Entidade.Inicio;
    r_.Fim = a_.Entidade.Fim;
    banco::TComando q(db_,
        "SELECT IDIMPORTACAO, DATAINICIO, DATAFIM, COALESCE(ARQUIVO, ''), COALESCE(DIGESTO, '') FROM HS_IMPORTACAOEFD"
        " WHERE IDFILIAL = ? AND DATAINICIO <= ? AND DATAFIM >= ? ORDER BY IDIMPORTACAO");
    banco::Vincular(q, r_.IdFilial, DataISO(r_.Fim), DataISO(r_.Inicio));
    while (q.executeStep()) {
      const std::string ini = q.getColumn(1).getString(), fim = q.getColumn(2).getString();
      if (ini != DataISO(r_.Inicio) || fim != DataISO(r_.Fim)) {
        TDateTime di = 0, df = 0;
        TentarLerData(ini, di);
        TentarLerData(fim, df);
        throw EImportacaoEFD("O período do arquivo (" + DataBR(r_.Inicio) + " a " + DataBR(r_.Fim) +
                             ") cruza o de outra importação deste estabelecimento (" + q.getColumn(3).getString() +
                             ", " + DataBR(di) + " a " + DataBR(df) +
                             ") sem coincidir com ele: importe arquivos de períodos que não se sobrepõem.");
      }
      r_.IdImportacao = q.getColumn(0).getInt64();
      digestoAnterior_ = q.getColumn(4).getString();
    }
    if (r_.IdImportacao == 0) {
      banco::TComando ins(db_, "INSERT INTO HS_IMPORTACAOEFD (IDFILIAL, DATAINICIO, DATAFIM) VALUES (?, ?, ?)");
      banco::Vincular(ins, r_.IdFilial, DataISO(r_.Inicio), DataISO(r_.Fim));
      r_.IdImportacao = Inserir(ins);
      return;
    }
    r_.Substituiu = true;
    const std::string id = std::to_string(r_.IdImportacao);
    c_.Executar(
        "DELETE FROM ES02_ENTRADADET WHERE IDENTRADA IN (SELECT IDENTRADA FROM ES02_ENTRADA WHERE IDIMPORTACAO = " + id + ");"
        "DELETE FROM ES02_ENTRADA WHERE IDIMPORTACAO = " + id + ";"
        "DELETE FROM ES02_SAIDADET WHERE IDSAIDA IN (SELECT IDSAIDA FROM ES02_SAIDA WHERE IDIMPORTACAO = " + id + ");"
        "DELETE FROM ES02_SAIDA WHERE IDIMPORTACAO = " + id + ";"
        "DELETE FROM ES02_LCTOAPURAUX WHERE IDLCTOAPUR IN (SELECT IDLCTOAPUR FROM ES02_LCTOAPUR WHERE IDIMPORTACAO = " + id + ");"
        "DELETE FROM ES02_LCTOAPUR WHERE IDIMPORTACAO = " + id + ";"
        "DELETE FROM HS_OBRIGACAOEFD WHERE IDIMPORTACAO = " + id + ";");
  }

  void RegistrarImportacao() {
    char digesto[17];
    std::snprintf(digesto, sizeof digesto, "%016llx", static_cast<unsigned long long>(a_.Digesto));
    banco::TComando s(db_,
        "UPDATE HS_IMPORTACAOEFD SET ARQUIVO = ?, FINALIDADE = ?, LINHAS = ?, DOCUMENTOS = ?, GRAVADOEM = ?, DIGESTO = ?"
        " WHERE IDIMPORTACAO = ?");
    banco::Vincular(s, a_.Nome, a_.Entidade.Finalidade, a_.Linhas, r_.Entradas + r_.Saidas, DataHoraBR(Agora()),
                    std::string(digesto), r_.IdImportacao)
        .exec();
    r_.Ignorados = a_.Ignorados;
    // The same file again leaves the settlement as true as it was; any other content makes what
    // the settlement recorded for the period stale until it is settled again.
    if (digestoAnterior_ == digesto) return;
    for (const banco::TPeriodoAlterado& p :
         banco::MarcarPeriodoAlterado(c_, r_.IdFilial, r_.Inicio, r_.Fim, "importação de " + a_.Nome)) {
      r_.Avisos.push_back("O imposto " + p.Imposto + " de " + DataBR(p.Inicio) + " a " + DataBR(p.Fim) +
                          " já estava apurado e o arquivo mudou os dados do período: apure-o de novo antes de "
                          "exportar o bloco E.");
      r_.ApuracaoDesatualizada = true;
    }
  }

  // ---------------------------------------------------------------------------------------------
  // Participants and CFOPs

  std::optional<int64_t> Plano(const std::string& codigo) {
    if (codigo.empty()) return std::nullopt;
    if (auto it = planos_.find(codigo); it != planos_.end()) return it->second;
    const TParticipanteEFD& p = a_.Participantes.at(codigo);
    const bool exterior = !p.Pais.empty() && p.Pais != "1058" && p.Pais != "01058";
    const int64_t mun = Municipio(p.Municipio, uf_, exterior);
    const std::string doc = Digitos(p.Cnpj.empty() ? p.Cpf : p.Cnpj);
    banco::TComando q(db_,
        doc.empty() ? "SELECT IDCLIFOR FROM ES02_CLIFOR WHERE COALESCE(CNPJCPF, '') = '' AND NOME = ?1 AND IDMUNICIPIO = ?2"
                    : "SELECT IDCLIFOR FROM ES02_CLIFOR WHERE CNPJCPF = ?1 ORDER BY (IDMUNICIPIO = ?2) DESC, IDCLIFOR");
    banco::Vincular(q, doc.empty() ? p.Nome : doc, mun);
    int64_t idClifor = 0;
    if (q.executeStep()) {
      idClifor = q.getColumn(0).getInt64();
    } else {
      banco::TComando ins(db_, "INSERT INTO ES02_CLIFOR (NOME, CNPJCPF, IESTADUAL, IDMUNICIPIO) VALUES (?, ?, ?, ?)");
      banco::Vincular(ins, p.Nome, Nulo(doc), Nulo(p.IE), mun);
      idClifor = Inserir(ins);
      ++r_.ParticipantesCriados;
    }
    banco::TComando pl(db_,
        "SELECT IDPLANO FROM CO01_PLANO WHERE IDCLIFOR = ?1 AND (IDEMPRESA = ?2 OR IDEMPRESA IS NULL)"
        " ORDER BY (IDEMPRESA = ?2) DESC, IDPLANO");
    banco::Vincular(pl, idClifor, idEmpresa_);
    int64_t idPlano = 0;
    if (pl.executeStep()) {
      idPlano = pl.getColumn(0).getInt64();
    } else {
      banco::TComando ins(db_, "INSERT INTO CO01_PLANO (IDEMPRESA, DESCRICAO, IDCLIFOR) VALUES (?, ?, ?)");
      banco::Vincular(ins, idEmpresa_, p.Nome, idClifor);
      idPlano = Inserir(ins);
    }
    banco::TComando uf(db_, "SELECT UF FROM CA06_MUNICIPIO WHERE IDMUNICIPIO = ?");
    uf.bind(1, mun);
    ufParticipante_[codigo] = uf.executeStep() ? uf.getColumn(0).getString() : uf_;
    return planos_[codigo] = idPlano;
  }

  // The state whose ICMS-ST settlement a document's ST belongs to: the participant's, or the
  // establishment's for documents to consumers.
  std::string UFDoDocumento(const TDocumentoEFD& d) {
    if (d.Participante.empty()) return uf_;
    Plano(d.Participante);
    return ufParticipante_[d.Participante];
  }

  int64_t Cfop(const std::string& cfop) {
    if (auto it = cfops_.find(cfop); it != cfops_.end()) return it->second;
    const std::string familia = cfop.substr(0, 1) + "." + cfop.substr(1);
    banco::TComando q(db_, "SELECT IDCFOP FROM ES02_CFOP WHERE CFOP IN (?1, ?2) ORDER BY length(CFOP) DESC LIMIT 1");
    banco::Vincular(q, familia + ".000", familia);
    int64_t id = 0;
    if (q.executeStep()) {
      id = q.getColumn(0).getInt64();
    } else {
      banco::TComando ins(db_, "INSERT INTO ES02_CFOP (CFOP, DESCRICAO) VALUES (?, ?)");
      banco::Vincular(ins, familia + ".000", "CFOP " + familia);
      id = Inserir(ins);
      r_.CfopsCriados.push_back(familia);
    }
    return cfops_[cfop] = id;
  }

  // ---------------------------------------------------------------------------------------------
  // Documents

  void Carregar(const TDocumentoEFD& d) {
    if (d.SemValor()) {
      ++r_.SemValor;
      return;
    }
    TDateTime data = d.DataEscrituracao();
    if (d.Saida && d.Extemporaneo()) return ExtemporaneoDeSaida(d);
    // An entry of an earlier period counts in the first period of the file.
    if (d.Extemporaneo() && data < a_.Entidade.Inicio) data = a_.Entidade.Inicio;

    const std::string especie = EspecieDoModelo(d.Modelo);
    int64_t id = 0;
    if (d.Saida) {
      banco::TComando& s = Preparada(saida_,
          "INSERT INTO ES02_SAIDA (IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO, MODELO, SERIE, SUBSERIE, ESPECIE, IDIMPORTACAO)"
          " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
      banco::Vincular(s, r_.IdFilial, Plano(d.Participante), DataISO(data), d.Numero, d.Modelo, d.Serie, d.Subserie,
                      especie, r_.IdImportacao);
      id = Inserir(s);
      ++r_.Saidas;
    } else {
      banco::TComando& s = Preparada(entrada_,
          "INSERT INTO ES02_ENTRADA (IDFILIAL, IDPLANO, DATAENTRADA, DATAEMISSAO, NUMERO, MODELO, SERIE, SUBSERIE,"
          " ESPECIE, IDIMPORTACAO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
      banco::Vincular(s, r_.IdFilial, Plano(d.Participante), DataISO(data), DataISO(d.Emissao), d.Numero, d.Modelo,
                      d.Serie, d.Subserie, especie, r_.IdImportacao);
      id = Inserir(s);
      ++r_.Entradas;
    }
    for (const TAnaliticoEFD& a : d.Analiticos) Item(d, id, a, data);
    for (const TAjusteDocumentoEFD& aj : d.Ajustes) AjusteDocumento(d, aj, data);
  }

  void Item(const TDocumentoEFD& d, int64_t idDocumento, const TAnaliticoEFD& a, TDateTime data) {
    // Transfers of a debit balance between establishments (CFOP 1605 received, 5605 sent) are not
    // credits and debits of the registers: the settlement takes them as other debits and credits.
    Currency base = a.BaseICMS, icms = a.ICMS;
    if ((a.Cfop == "1605" || a.Cfop == "5605") && a.ICMS != Currency()) {
      const bool recebido = a.Cfop == "1605";
      Lancamento(recebido ? kOutrosDebitos : kOutrosCreditos, false, a.ICMS, data,
                 std::string(recebido ? "SALDO DEVEDOR RECEBIDO POR TRANSFERÊNCIA" : "SALDO DEVEDOR TRANSFERIDO") +
                     " (CFOP " + a.Cfop.substr(0, 1) + "." + a.Cfop.substr(1) + ", " + DescricaoDocumento(d) + ")",
                 "", "C190", recebido ? 2 : 6);
      base = icms = Currency();
    }
    const TSemCredito sem = SemCredito(a, d.Saida && simplesNacional_);
    const bool st = a.ICMSST != Currency();
    const char* tabela = d.Saida ? "INSERT INTO ES02_SAIDADET (IDSAIDA, DEBITOST, " : "INSERT INTO ES02_ENTRADADET (IDENTRADA, CREDITOST, ";
    banco::TComando& s = Preparada(d.Saida ? itemSaida_ : itemEntrada_,
                                     std::string(tabela) +
                                         "IDCFOP, ALIQICMS, VLRCONTABIL, BCICMS, ICMS, ISENTASICMS, NTICMS, OUTRASICMS,"
                                         " BCICMSST, ICMSST, IPI, VLRREDUCAOBCICMS)"
                                         " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::Vincular(s, idDocumento, st ? 1 : 0, Cfop(a.Cfop), a.Aliquota.ToDouble(), a.ValorOperacao.ToDouble(),
                    base.ToDouble(), icms.ToDouble(), sem.Isentas.ToDouble(), sem.NaoTributadas.ToDouble(),
                    sem.Outras.ToDouble(), a.BaseST.ToDouble(), a.ICMSST.ToDouble(), a.IPI.ToDouble(),
                    a.ReducaoBase.ToDouble());
    s.exec();
    ++r_.Itens;
  }

  void AjusteDocumento(const TDocumentoEFD& d, const TAjusteDocumentoEFD& aj, TDateTime data) {
    const TClasseAjuste c = ClassificarAjusteDocumento(aj.Codigo);
    if (!c.Apuracao || aj.ICMS == Currency()) return;
    const std::string texto = aj.Descricao.empty() ? "AJUSTE " + aj.Codigo : aj.Descricao;
    Lancamento(c.TpLancamento, c.ST, aj.ICMS, data, texto + " (" + DescricaoDocumento(d) + ")", aj.Codigo,
               aj.Registro, c.Campo, c.ST ? UFDoDocumento(d) : uf_);
  }

  // An exit of an earlier period is not part of this period's debits: its tax is paid apart, as a
  // special debit, with the adjustments of the document.
  void ExtemporaneoDeSaida(const TDocumentoEFD& d) {
    ++r_.Extemporaneos;
    Currency icms, st;
    for (const TAnaliticoEFD& a : d.Analiticos) {
      icms += a.ICMS;
      st += a.ICMSST;
    }
    for (const TAjusteDocumentoEFD& aj : d.Ajustes) {
      const TClasseAjuste c = ClassificarAjusteDocumento(aj.Codigo);
      if (c.Apuracao && c.TpLancamento != kOutrosCreditos && c.TpLancamento != kDeducoes) (c.ST ? st : icms) += aj.ICMS;
    }
    const std::string texto = "DOCUMENTO EXTEMPORÂNEO " + DescricaoDocumento(d);
    if (icms != Currency()) Lancamento(kDebitosEspecificos, false, icms, a_.Entidade.Inicio, texto, "", d.Registro, 15);
    if (st != Currency())
      Lancamento(kDebitosEspecificos, true, st, a_.Entidade.Inicio, texto, "", d.Registro, 15, UFDoDocumento(d));
  }

  // ---------------------------------------------------------------------------------------------
  // Settlement entries

  int64_t Lancamento(int32_t tipo, bool st, Currency valor, TDateTime data, const std::string& descricao,
                     const std::string& codigo, const std::string& registro, int campo, std::string uf = {}) {
    if (uf.empty()) uf = uf_;
    const std::string imposto = st ? CodigoST(uf) : kImpostoICMS;
    if (imposto.empty()) {
      r_.Avisos.push_back("Ajuste de ICMS-ST de UF desconhecida \"" + uf + "\" não importado: " + descricao);
      return 0;
    }
    banco::TComando s(db_,
        "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO, ORIGEM,"
        " GERADO, IDIMPORTACAO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?)");
    banco::Vincular(s, r_.IdFilial, tipo, st ? 3 : 1, imposto, valor.ToDouble(), DataISO(data), DataISO(data),
                    texto::Copiar(descricao, 1, 200), r_.IdImportacao);
    const int64_t id = Inserir(s);
    Auxiliar(id, kAuxCodigoEFD, codigo, registro, std::to_string(campo));
    ++r_.Lancamentos;
    if (tipo == kDebitosEspecificos) debitosEspeciais_.push_back({id, st, uf, valor, data});
    return id;
  }

  // A special debit is paid apart from the period's tax, under a revenue code of its own (a 3178
  // beside the regular 1206): each takes the revenue code and due date of the client's obligation
  // 090 of its amount in its period, else of the period's 090 obligations when they share one code.
  // Block E then pays it as the client did; without any, it goes with the tax's.
  void ReceitasDosDebitosEspeciais(const std::vector<TObrigacaoEFD>& obrigacoes, bool st, const std::string& uf,
                                   TDateTime inicio, TDateTime fim) {
    std::vector<const TObrigacaoEFD*> livres;
    std::set<std::string> receitas;
    for (const TObrigacaoEFD& o : obrigacoes)
      if (o.Codigo == "090" && !o.Receita.empty()) {
        livres.push_back(&o);
        receitas.insert(o.Receita);
      }
    if (livres.empty()) return;
    const TObrigacaoEFD* unica = receitas.size() == 1 ? livres.front() : nullptr;
    for (const TDebitoEspecial& d : debitosEspeciais_) {
      if (d.ST != st || d.UF != uf || d.Data < inicio || d.Data > fim) continue;
      const auto it = std::find_if(livres.begin(), livres.end(), [&](const TObrigacaoEFD* o) { return o->Valor == d.Valor; });
      const TObrigacaoEFD* o = it != livres.end() ? *it : unica;
      if (it != livres.end()) livres.erase(it);
      if (!o) continue;
      banco::TComando s(db_, "UPDATE ES02_LCTOAPUR SET IDCODIGOREC = ? WHERE IDLCTOAPUR = ?");
      banco::Vincular(s, CodigoRecolhimento(uf, *o, fim, st ? "ICMS-ST" : "ICMS"), d.Id).exec();
      if (o->Vencimento != 0) Auxiliar(d.Id, kAuxDebitoEspecifico, "", DataBR(o->Vencimento));
    }
  }

  void Auxiliar(int64_t idLcto, int32_t tp, const std::string& i1, const std::string& i2 = {},
                const std::string& i3 = {}) {
    banco::TComando s(db_,
        "INSERT INTO ES02_LCTOAPURAUX (IDLCTOAPUR, TP, INFORMACAO1, INFORMACAO2, INFORMACAO3) VALUES (?, ?, ?, ?, ?)");
    banco::Vincular(s, idLcto, tp, Nulo(i1), Nulo(i2), Nulo(i3)).exec();
  }

  void Ajustes(const std::vector<TAjusteApuracaoEFD>& ajustes, bool st, TDateTime data, const std::string& uf) {
    for (const TAjusteApuracaoEFD& aj : ajustes) {
      const TClasseAjuste c = ClassificarAjusteApuracao(aj.Codigo);
      if (!c.Apuracao || c.ST != st) {
        r_.Avisos.push_back("Linha " + std::to_string(aj.Linha) + ": ajuste " + aj.Codigo +
                            " não pertence à apuração " + (st ? "do ICMS-ST" : "do ICMS próprio") + "; não importado.");
        continue;
      }
      const std::string texto = aj.Descricao.empty() ? "AJUSTE " + aj.Codigo : aj.Descricao;
      const int64_t id = Lancamento(c.TpLancamento, st, aj.Valor, data, texto, aj.Codigo, st ? "E220" : "E111",
                                    c.Campo, uf);
      if (id == 0) continue;
      for (const std::string& ref : aj.Referencias) Auxiliar(id, kAuxReferenciaEFD, ref);
    }
  }

  // The credit balance the client carried in becomes the balance the settlement of the period
  // before would have carried: same kind, date and text, so that settling that period replaces it.
  // When that settlement already recorded it, its figure stands, and a file that carries another
  // (none included) is named.
  void SaldoAnterior(bool st, const std::string& imposto, Currency valor, TDateTime inicio) {
    banco::TComando q(db_,
        "SELECT VALOR FROM ES02_LCTOAPUR WHERE GERADO = 1 AND IDFILIAL = ? AND IMPOSTO = ? AND TPLANCAMENTO = 5"
        " AND DATA = ? AND DATAFIM = ? AND DESCRICAO = ?");
    banco::Vincular(q, r_.IdFilial, imposto, DataISO(inicio), DataISO(inicio), kSaldoAnterior);
    if (q.executeStep()) {
      const Currency nosso = Currency::FromDouble(q.getColumn(0).getDouble());
      if (nosso != valor)
        r_.Avisos.push_back("Saldo credor anterior de " + imposto + " em " + DataBR(inicio) + ": mantido o da apuração (" +
                            FormatarValor(nosso) + "); o arquivo traz " + FormatarValor(valor) + ".");
      return;
    }
    if (valor <= Currency()) return;
    banco::TComando s(db_,
        "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO, ORIGEM,"
        " GERADO, IDIMPORTACAO) VALUES (?, 5, ?, ?, ?, ?, ?, ?, 0, 1, ?)");
    banco::Vincular(s, r_.IdFilial, st ? 3 : 1, imposto, valor.ToDouble(), DataISO(inicio), DataISO(inicio),
                    kSaldoAnterior, r_.IdImportacao)
        .exec();
    ++r_.Lancamentos;
  }

  void ApuracaoICMS(const TApuracaoICMSEFD& p) {
    Ajustes(p.Ajustes, false, p.Inicio, uf_);
    SaldoAnterior(false, kImpostoICMS, p.E110[10], p.Inicio);
    ReceitasDosDebitosEspeciais(p.Obrigacoes, false, uf_, p.Inicio, p.Fim);
    LinhasDoCliente(kImpostoICMS, p.Inicio, p.Fim, "E116", p.Obrigacoes, p.Declaracoes);
  }

  // The client's own obligations and declaratory lines of the period, as the file has them: block
  // E gives them back when the settlement agrees with them.
  void LinhasDoCliente(const std::string& imposto, TDateTime inicio, TDateTime fim, const std::string& registro,
                       const std::vector<TObrigacaoEFD>& obrigacoes, const std::vector<std::string>& declaracoes) {
    banco::TComando s(db_,
        "INSERT INTO HS_OBRIGACAOEFD (IDIMPORTACAO, IDFILIAL, IMPOSTO, DATAINICIO, DATAFIM, REGISTRO, VALOR, LINHA)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    auto gravar = [&](const std::string& reg, Currency valor, const std::string& linha) {
      banco::Vincular(s, r_.IdImportacao, r_.IdFilial, imposto, DataISO(inicio), DataISO(fim), reg, valor.ToDouble(),
                      linha)
          .exec();
    };
    for (const std::string& d : declaracoes) gravar("E115", Currency(), d);
    for (const TObrigacaoEFD& o : obrigacoes) gravar(registro, o.Valor, o.Linha);
  }

  void ApuracaoST(const TApuracaoSTEFD& p) {
    const std::string& imposto = CodigoST(p.UF);
    if (imposto.empty()) return;
    Ajustes(p.Ajustes, true, p.Inicio, p.UF);
    SaldoAnterior(true, imposto, p.E210[3], p.Inicio);
    ReceitasDosDebitosEspeciais(p.Obrigacoes, true, p.UF, p.Inicio, p.Fim);
    LinhasDoCliente(imposto, p.Inicio, p.Fim, "E250", p.Obrigacoes, {});
  }
};

}  // namespace

std::string UFDoMunicipio(const std::string& codigoIbge) {
  static const std::map<std::string, std::string> ufs = {
      {"11", "RO"}, {"12", "AC"}, {"13", "AM"}, {"14", "RR"}, {"15", "PA"}, {"16", "AP"}, {"17", "TO"},
      {"21", "MA"}, {"22", "PI"}, {"23", "CE"}, {"24", "RN"}, {"25", "PB"}, {"26", "PE"}, {"27", "AL"},
      {"28", "SE"}, {"29", "BA"}, {"31", "MG"}, {"32", "ES"}, {"33", "RJ"}, {"35", "SP"}, {"41", "PR"},
      {"42", "SC"}, {"43", "RS"}, {"50", "MS"}, {"51", "MT"}, {"52", "GO"}, {"53", "DF"}};
  if (codigoIbge.size() < 2) return {};
  auto it = ufs.find(codigoIbge.substr(0, 2));
  return it != ufs.end() ? it->second : std::string();
}

TImportacaoEFD::TImportacaoEFD(TQDConnection& conexao, TProgresso progresso)
    : c_(conexao), progresso_(std::move(progresso)) {}

template <class TCarga>
TResumoImportacao TImportacaoEFD::Transacao(const TArquivoEFD& arquivo, TCarga carga) {
  TResumoImportacao r;
  TTransacao t(c_);
  try {
    TEscrita escrita(c_, arquivo, r);
    carga(escrita);
    escrita.Concluir();
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string("Erro ao gravar a importação: ") + e.what());
  }
  t.Confirmar();
  return r;
}

TResumoImportacao TImportacaoEFD::Importar(const TArquivoEFD& arquivo) {
  return Transacao(arquivo, [&](TEscrita& escrita) {
    int64_t feitos = 0;
    const auto total = static_cast<int64_t>(arquivo.Documentos.size());
    for (const TDocumentoEFD& d : arquivo.Documentos) {
      escrita.Documento(d);
      if (progresso_ && ++feitos % 2048 == 0) progresso_(feitos, total);
    }
    if (progresso_) progresso_(total, total);
  });
}

TResumoImportacao TImportacaoEFD::ImportarArquivo(const std::string& caminho, TArquivoEFD& lido) {
  return Transacao(lido, [&](TEscrita& escrita) {
    LerArquivoEFD(caminho, lido, [&](const TDocumentoEFD& d) { escrita.Documento(d); }, progresso_);
  });
}

TResumoImportacao TImportacaoEFD::ImportarArquivo(std::istream& entrada, const std::string& nome, TArquivoEFD& lido) {
  return Transacao(lido, [&](TEscrita& escrita) {
    LerArquivoEFD(entrada, nome, lido, [&](const TDocumentoEFD& d) { escrita.Documento(d); }, 0, progresso_);
  });
}

std::string TResumoImportacao::Texto() const {
  std::string t = "Estabelecimento " + std::to_string(IdFilial) + ": " + Filial +
                  (FilialCriada ? " (criado)" : "") + "\nPeríodo " + DataBR(Inicio) + " a " + DataBR(Fim) +
                  (Substituiu ? " (substitui a importação anterior do período)" : "") + "\n";
  t += "Documentos: " + std::to_string(Entradas) + " de entrada, " + std::to_string(Saidas) + " de saída, " +
       std::to_string(Itens) + " itens (um por CST, CFOP e alíquota)\n";
  if (SemValor) t += "Cancelados, denegados ou inutilizados (não contados): " + std::to_string(SemValor) + "\n";
  if (Extemporaneos)
    t += "Saídas extemporâneas (imposto lançado como débito específico): " + std::to_string(Extemporaneos) + "\n";
  t += "Lançamentos da apuração (ajustes e saldos): " + std::to_string(Lancamentos) + "\n";
  if (ParticipantesCriados) t += "Participantes criados: " + std::to_string(ParticipantesCriados) + "\n";
  if (!CfopsCriados.empty()) {
    t += "CFOPs criados sem a descrição oficial (complete ES02_CFOP.DESCRICAO):";
    for (const auto& c : CfopsCriados) t += " " + c;
    t += "\n";
  }
  if (!Ignorados.empty()) {
    t += "Registros deixados de fora (não entram na apuração):";
    for (const auto& [reg, n] : Ignorados) t += " " + reg + " (" + std::to_string(n) + ")";
    t += "\n";
  }
  for (const auto& a : Avisos) t += "Aviso: " + a + "\n";
  return t;
}

}  // namespace efd
