#include "host/servicos/apuracaofuncoes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "host/banco/motor.h"

#include "host/banco/acesso.h"
#include "host/banco/conexao.h"
#include "host/banco/periodoalterado.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/servicos/periodos.h"
#include "host/servicos/protegido.h"

namespace {

using servicos::kVigente;
using servicos::Protegido;

// The rows a key lookup found: the first is kept and updated in place; any further one (a row
// doubled by data loaded by hand) is deleted with its detail rows. 0 when there was none.
int64_t ManterPrimeira(TQDConnection& c, banco::TComando& busca, const std::string& tabela,
                       const std::string& tabelaDetalhe, const std::string& chave) {
  if (!busca.executeStep()) return 0;
  const int64_t primeira = busca.getColumn(0).getInt64();
  std::vector<int64_t> dobradas;  // read whole before any is deleted
  while (busca.executeStep()) dobradas.push_back(busca.getColumn(0).getInt64());
  for (int64_t id : dobradas) {
    for (const auto& t : {tabelaDetalhe, tabela}) {
      banco::TComando d(c.Db(), "DELETE FROM " + t + " WHERE " + chave + " = ?");
      banco::Vincular(d, id).exec();
    }
  }
  return primeira;
}

}  // namespace

TFilial TApuracaoFuncoes::GetDadosFilial(int64_t idFilial) {
  return Protegido("GetDadosFilial", [&] {
    banco::TComando q(c_.Db(),
        "SELECT F.IDFILIAL, F.IDEMPRESA, E.EMPRESA, M.UF, F.NOME, F.NOMEFANTASIA, F.CNPJ, F.IESTADUAL,"
        "       F.ENDERECO, F.NUMERO, F.COMPLEMENTO, F.BAIRRO, F.CEP, M.NOME, F.FILIAL"
        "  FROM SC00_FILIAL F JOIN SC00_EMPRESA E ON (E.IDEMPRESA = F.IDEMPRESA)"
        "  LEFT JOIN CA06_MUNICIPIO M ON (M.IDMUNICIPIO = F.IDMUNICIPIO)"
        " WHERE F.IDFILIAL = ?");
    q.bind(1, static_cast<int64_t>(idFilial));
    if (!q.executeStep()) throw std::runtime_error(banco::NaoEncontrado(c_, "Estabelecimento", idFilial));
    TFilial f;
    f.IdFilial = q.getColumn(0).getInt64();
    f.IdEmpresa = q.getColumn(1).getInt();
    f.CodigoEmpresa = q.getColumn(2).getInt();
    f.UF = q.getColumn(3).getString();
    f.RazaoSocial = q.getColumn(4).getString();
    f.NomeFantasia = q.getColumn(5).getString();
    f.CNPJ = q.getColumn(6).getString();
    f.InscrEstadual = q.getColumn(7).getString();
    f.Endereco = q.getColumn(8).getString();
    f.Numero = q.getColumn(9).getString();
    f.Complemento = q.getColumn(10).getString();
    f.Bairro = q.getColumn(11).getString();
    f.CEP = q.getColumn(12).getString();
    f.Cidade = q.getColumn(13).getString();
    f.CodigoFilial = q.getColumn(14).getInt();
    if (f.UF.empty()) throw std::runtime_error("Estabelecimento " + std::to_string(idFilial) + " sem município/UF cadastrado.");
    return f;
  });
}

TPeriodicidade TApuracaoFuncoes::GetPeriodicidadeICMS(int64_t idFilial, TDateTime data) {
  return Protegido("GetPeriodicidadeICMS", [&]() -> TPeriodicidade {
    banco::TComando q(c_.Db(), std::string("SELECT PERIODICIDADE FROM HS_PERIODICIDADE WHERE IDFILIAL = ?2 AND") +
                                     kVigente + "ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, DataISO(data), idFilial);
    if (!q.executeStep()) return periodicidade::Mensal;  // no configuration: monthly
    auto p = static_cast<TPeriodicidade>(q.getColumn(0).getInt());
    if (!PeriodicidadeValida(p))
      throw std::runtime_error("Periodicidade " + std::to_string(static_cast<int>(p)) + " do estabelecimento " +
                               std::to_string(idFilial) + " é inválida (HS_PERIODICIDADE).");
    return p;
  });
}

TDateTime TApuracaoFuncoes::IncPeriodo(TDateTime data, TPeriodicidade p) { return ::IncPeriodo(data, p); }
TDateTime TApuracaoFuncoes::DecPeriodo(TDateTime data, TPeriodicidade p) { return ::DecPeriodo(data, p); }

TTipoEnquadramento TApuracaoFuncoes::GetEnquadramentoFilial(const TFilial& f, TDateTime ini, TDateTime) {
  return Protegido("GetEnquadramentoFilial", [&]() -> TTipoEnquadramento {
    banco::TComando q(c_.Db(), std::string("SELECT ENQUADRAMENTO FROM HS_ENQUADRAMENTO WHERE IDFILIAL = ?2 AND") +
                                     kVigente + "ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, DataISO(ini), f.IdFilial);
    return q.executeStep() ? static_cast<TTipoEnquadramento>(q.getColumn(0).getInt()) : 2;
  });
}

TApuracaoCentralizada TApuracaoFuncoes::GetFormaApuracao(const TFilial& f, TDateTime ini, TDateTime) {
  return Protegido("GetFormaApuracao", [&] {
    banco::TComando q(c_.Db(), std::string("SELECT CHAVE1, CHAVE2, CHAVE3, TIPO FROM HS_CENTRALIZACAO WHERE IDFILIAL = ?2 AND") +
                                     kVigente + "ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, DataISO(ini), f.IdFilial);
    TApuracaoCentralizada a;
    if (q.executeStep()) {
      a.Chave1 = q.getColumn(0).getInt();
      a.Chave2 = q.getColumn(1).getInt();
      a.Chave3 = q.getColumn(2).getInt();
      std::string tipo = q.getColumn(3).getString();
      a.TipoApuracao = tipo == "2" ? 1 : tipo == "3" ? 2 : 0;
    }
    return a;
  });
}

uint8_t TApuracaoFuncoes::GetRegimeApuracaoSC(const TFilial& f, TDateTime ini, TDateTime) {
  return Protegido("GetRegimeApuracaoSC", [&]() -> uint8_t {
    banco::TComando q(c_.Db(), std::string("SELECT REGIME FROM HS_REGIMESC WHERE IDFILIAL = ?2 AND") + kVigente +
                                     "ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, DataISO(ini), f.IdFilial);
    return q.executeStep() ? static_cast<uint8_t>(q.getColumn(0).getInt()) : 1;
  });
}

TInscricoesST TApuracaoFuncoes::GetInscricoesST(const TFilial& f, TDateTime ini, TDateTime fim, uint8_t) {
  return Protegido("TInscricoesST", [&] {
    banco::TComando q(c_.Db(),
        "SELECT UF, COALESCE(INSCREST, ''), COALESCE(PERIODICIDADE, 0), COALESCE(IDCODIGOREC, 0)"
        "  FROM HS_INSCRICAOST WHERE IDFILIAL = ?1 AND DATAINICIO <= ?3 AND (DATAFIM IS NULL OR DATAFIM >= ?2)"
        " ORDER BY UF, IDINSCRICAOST");
    banco::Vincular(q, f.IdFilial, DataISO(ini), DataISO(fim));
    TInscricoesST r;
    while (q.executeStep()) {
      TInscricaoST i;
      i.UF = q.getColumn(0).getString();
      i.InscrEst = texto::Aparar(q.getColumn(1).getString());
      i.Periodicidade = static_cast<TPeriodicidade>(q.getColumn(2).getInt());
      i.IdCodigoRec = q.getColumn(3).getInt();
      r.push_back(i);
    }
    return r;
  });
}

std::string TApuracaoFuncoes::GetCodigoICMSST(const std::string& uf) {
  return Protegido("GetCodigoICMSST", [&]() -> std::string {
    banco::TComando q(c_.Db(), "SELECT IMPOSTO FROM HS_CODIGOICMSST WHERE UF = ?");
    q.bind(1, uf);
    return q.executeStep() ? q.getColumn(0).getString() : std::string();
  });
}

TCodigoRecolhimento TApuracaoFuncoes::GetCodigoRecolhimentoByID(int32_t id) {
  return Protegido("GetCodigoRecolhimentoByID", [&] {
    banco::TComando q(c_.Db(), "SELECT CODIGO, CODIGO1, IDCODIGOREC, TPDIAVENCTO, DIAVENCTO FROM ES02_CODIGOREC WHERE IDCODIGOREC = ?");
    q.bind(1, id);
    TCodigoRecolhimento r;
    if (q.executeStep()) {
      r.Codigo = q.getColumn(0).getString();
      r.Codigo1 = q.getColumn(1).getString();
      r.IdCodigoRec = q.getColumn(2).getInt();
      r.TpDiaVencto = q.getColumn(3).getInt();
      r.DiaVencto = InteiroOuZero(q.getColumn(4).getString());
    }
    return r;
  });
}

std::vector<std::string> TApuracaoFuncoes::GetIDsFilialByFilialCfg(int32_t idEmpresa, int32_t k1, int32_t k2, int32_t k3,
                                                                   const std::string& tipos, TDateTime ini, TDateTime fim) {
  // `tipos` is a list of quoted centralisation kinds such as "'2','3'": the kinds are what stands
  // between the commas, quotes and blanks left out.
  std::vector<std::string> lista(1);
  for (char ch : tipos) {
    if (ch == ',') lista.emplace_back();
    else if (ch != '\'' && ch != ' ') lista.back() += ch;
  }
  std::erase(lista, std::string());
  return Protegido("GetIDsFilialByFilialCfg", [&] {
    std::string marcas;  // ?7, ?8, ... one for each kind
    int n = 7;
    for ([[maybe_unused]] const std::string& t : lista) marcas += (marcas.empty() ? "?" : ",?") + std::to_string(n++);
    banco::TComando q(c_.Db(),
        "SELECT DISTINCT C.IDFILIAL FROM HS_CENTRALIZACAO C JOIN SC00_FILIAL F ON (F.IDFILIAL = C.IDFILIAL)"
        " WHERE F.IDEMPRESA = ?1 AND C.CHAVE1 = ?2 AND C.CHAVE2 = ?3 AND C.CHAVE3 = ?4"
        "   AND C.DATAINICIO <= ?6 AND (C.DATAFIM IS NULL OR C.DATAFIM >= ?5)"
        "   AND C.TIPO IN (" + (marcas.empty() ? std::string("NULL") : marcas) + ") ORDER BY C.IDFILIAL");
    banco::Vincular(q, idEmpresa, k1, k2, k3, DataISO(ini), DataISO(fim));
    n = 7;
    for (const std::string& t : lista) q.bind(n++, t);
    std::vector<std::string> r;
    while (q.executeStep()) r.push_back(std::to_string(q.getColumn(0).getInt64()));
    return r;
  });
}

const TApuracaoFuncoes::TTipoLancamento& TApuracaoFuncoes::Tipo(TLancamentoApur k) {
  if (tipos_.empty()) {
    Protegido("HS_TIPOLANCAMENTO", [&] {
      banco::TComando q(c_.Db(), "SELECT ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL FROM HS_TIPOLANCAMENTO ORDER BY ORDINAL");
      tipos_.resize(kQtdeLancamentoApur);
      int n = 0;
      while (q.executeStep()) {
        int o = q.getColumn(0).getInt();
        if (o < 0 || o >= kQtdeLancamentoApur) continue;
        tipos_[static_cast<size_t>(o)] = {q.getColumn(1).getInt(), q.getColumn(2).getInt(), q.getColumn(3).getString(),
                                          static_cast<int8_t>(q.getColumn(4).getInt())};
        ++n;
      }
      if (n != kQtdeLancamentoApur) {
        tipos_.clear();
        throw EBancoDados("A tabela HS_TIPOLANCAMENTO deve ter os dez tipos de lançamento (0 a 9).");
      }
    });
  }
  if (k >= kQtdeLancamentoApur) throw std::out_of_range("Tipo de lançamento de apuração inválido: " + std::to_string(k));
  return tipos_[k];
}

int32_t TApuracaoFuncoes::LancamentoApurToInt(TLancamentoApur k) { return Tipo(k).tipo; }
int32_t TApuracaoFuncoes::LancamentoApurToCodOficialLivro(TLancamentoApur k) { return Tipo(k).linha; }
std::string TApuracaoFuncoes::LancamentoApurToString(TLancamentoApur k) { return Tipo(k).descricao; }
int8_t TApuracaoFuncoes::GetSinalLancamentoApur(TLancamentoApur k) { return Tipo(k).sinal; }

void TApuracaoFuncoes::ExcluirImposto(const TFilial& f, const std::string& imposto, TDateTime ini, TDateTime fim) {
  Protegido("ExcluirImposto", [&] {
    TTransacao t(c_);
    banco::TComando d1(c_.Db(),
        "DELETE FROM TR04_IMPOSTODET WHERE IDIMPOSTO IN (SELECT IDIMPOSTO FROM TR04_IMPOSTO"
        " WHERE IDFILIAL = ?1 AND IMPOSTO = ?2 AND INICIO >= ?3 AND FIM <= ?4 AND TP = 1)");
    banco::TComando d2(c_.Db(),
        "DELETE FROM TR04_IMPOSTO WHERE IDFILIAL = ?1 AND IMPOSTO = ?2 AND INICIO >= ?3 AND FIM <= ?4 AND TP = 1");
    for (auto* s : {&d1, &d2}) {
      banco::Vincular(*s, f.IdFilial, imposto, DataISO(ini), DataISO(fim));
      s->exec();
    }
    t.Confirmar();
  });
}

// The tax record of a period is kept in place across re-runs: the settlement's row (TP 1) of the
// same establishment, tax and period is updated, and its details are updated by field name. Rows
// of another kind (TP 2, recorded by another program or by hand) are never touched.
void TApuracaoFuncoes::GravarImposto(int32_t idEmpresa, int64_t idFilial, const std::string& imposto,
                                     const std::string& codigoRec, TDateTime ini, TDateTime fim, TDateTime vencimento,
                                     Currency valor, const std::vector<std::string>& campos,
                                     const std::vector<std::string>& conteudos) {
  if (campos.size() != conteudos.size())
    throw std::invalid_argument("GravarImposto: listas de campos e conteúdos de tamanhos diferentes");
  // A tax record is a payment to make: a negative one would be a guide to pay a negative amount.
  if (valor < Currency())
    throw std::invalid_argument("GravarImposto: o imposto " + imposto + " de " + DataBR(ini) + " a " + DataBR(fim) +
                                " do estabelecimento " + std::to_string(idFilial) + " seria gravado negativo (" +
                                FormatarValor(valor) + "); um imposto a recolher nunca é negativo.");
  Protegido("GravarImposto", [&] {
    TTransacao t(c_);
    banco::TComando busca(c_.Db(),
        "SELECT IDIMPOSTO FROM TR04_IMPOSTO WHERE IDFILIAL = ? AND IMPOSTO = ? AND INICIO = ? AND FIM = ? AND TP = 1"
        " ORDER BY IDIMPOSTO");
    banco::Vincular(busca, idFilial, imposto, DataISO(ini), DataISO(fim));
    int64_t id = ManterPrimeira(c_, busca, "TR04_IMPOSTO", "TR04_IMPOSTODET", "IDIMPOSTO");
    if (id == 0) {
      banco::TComando ins(c_.Db(), "INSERT INTO TR04_IMPOSTO (IDEMPRESA, IDFILIAL, IMPOSTO, INICIO, FIM, TP) VALUES (?, ?, ?, ?, ?, 1)");
      banco::Vincular(ins, idEmpresa, idFilial, imposto, DataISO(ini), DataISO(fim));
      ins.exec();
      id = c_.UltimoId();
    }
    banco::TComando up(c_.Db(),
        "UPDATE TR04_IMPOSTO SET IDEMPRESA = ?, CODIGOREC = ?, VENCIMENTO = ?, VLRIMPOSTO = ? WHERE IDIMPOSTO = ?");
    banco::Vincular(up, idEmpresa, codigoRec, vencimento > 0 ? std::optional(DataISO(vencimento)) : std::nullopt,
                    valor.ToDouble(), id)
        .exec();
    for (size_t i = 0; i < campos.size(); ++i) {
      banco::TComando upd(c_.Db(), "UPDATE TR04_IMPOSTODET SET CONTEUDO = ? WHERE IDIMPOSTO = ? AND NOMECAMPO = ?");
      banco::Vincular(upd, conteudos[i], id, campos[i]);
      if (upd.exec() == 0) {
        banco::TComando det(c_.Db(), "INSERT INTO TR04_IMPOSTODET (IDIMPOSTO, NOMECAMPO, CONTEUDO) VALUES (?, ?, ?)");
        banco::Vincular(det, id, campos[i], conteudos[i]);
        det.exec();
      }
    }
    // details of fields no longer recorded
    banco::TComando det(c_.Db(), "SELECT IDIMPOSTODET, NOMECAMPO FROM TR04_IMPOSTODET WHERE IDIMPOSTO = ?");
    det.bind(1, static_cast<int64_t>(id));
    std::vector<int64_t> sobras;
    while (det.executeStep())
      if (std::find(campos.begin(), campos.end(), det.getColumn(1).getString()) == campos.end())
        sobras.push_back(det.getColumn(0).getInt64());
    for (int64_t s : sobras) {
      banco::TComando d(c_.Db(), "DELETE FROM TR04_IMPOSTODET WHERE IDIMPOSTODET = ?");
      d.bind(1, static_cast<int64_t>(s));
      d.exec();
    }
    // The tax now follows from the period's data as it is.
    banco::LimparPeriodoAlterado(c_, idFilial, imposto, ini, fim);
    t.Confirmar();
  });
}

// A re-run finds the entry the earlier run wrote (same establishment, tax, type, dates and
// description) and updates it in place, so its id and everything hanging on it stay the same.
int64_t TApuracaoFuncoes::GravarLctoApur(int64_t idFilial, int32_t tipo, int32_t tpImposto, const std::string& imposto,
                                         int64_t idLctoApurCod, Currency valor, TDateTime data, TDateTime dataFim,
                                         const std::string& descricao, int32_t origem, int64_t idOrigem) {
  return Protegido("GravarLctoApur", [&] {
    TTransacao t(c_);
    banco::TComando busca(c_.Db(),
        "SELECT IDLCTOAPUR FROM ES02_LCTOAPUR WHERE GERADO = 1 AND IDFILIAL = ?1 AND IMPOSTO = ?2 AND TPLANCAMENTO = ?3"
        " AND DATA = ?4 AND DATAFIM = ?5 AND DESCRICAO = ?6 ORDER BY IDLCTOAPUR");
    banco::Vincular(busca, idFilial, imposto, tipo, DataISO(data), DataISO(dataFim), descricao);
    int64_t id = ManterPrimeira(c_, busca, "ES02_LCTOAPUR", "ES02_LCTOAPURAUX", "IDLCTOAPUR");
    if (id == 0) {
      banco::TComando ins(c_.Db(),
          "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, DATA, DATAFIM, DESCRICAO, GERADO)"
          " VALUES (?, ?, ?, ?, ?, ?, ?, 1)");
      banco::Vincular(ins, idFilial, tipo, tpImposto, imposto, DataISO(data), DataISO(dataFim), descricao);
      ins.exec();
      id = c_.UltimoId();
    }
    // A credit balance an EFD import carried in (the client's opening balance) becomes the
    // settlement's own when the settlement of the period before writes it: a new import of the file
    // must not take it away.
    banco::TComando up(c_.Db(),
        "UPDATE ES02_LCTOAPUR SET TPIMPOSTO = ?, IDLCTOAPURCOD = ?, VALOR = ?, ORIGEM = ?, IDORIGEM = ?,"
        " IDIMPORTACAO = NULL WHERE IDLCTOAPUR = ?");
    banco::Vincular(up, tpImposto, idLctoApurCod > 0 ? std::optional(idLctoApurCod) : std::nullopt, valor.ToDouble(),
                    origem, idOrigem, id)
        .exec();
    t.Confirmar();
    return id;
  });
}

void TApuracaoFuncoes::GravarLctoApurAux(int64_t idLctoApur, int32_t tp, const std::string& informacao) {
  Protegido("GravarLctoApurAux", [&] {
    TTransacao t(c_);
    banco::TComando up(c_.Db(), "UPDATE ES02_LCTOAPURAUX SET INFORMACAO1 = ? WHERE IDLCTOAPUR = ? AND TP = ?");
    banco::Vincular(up, informacao, idLctoApur, tp);
    if (up.exec() == 0) {
      banco::TComando i(c_.Db(), "INSERT INTO ES02_LCTOAPURAUX (IDLCTOAPUR, TP, INFORMACAO1) VALUES (?, ?, ?)");
      banco::Vincular(i, idLctoApur, tp, informacao);
      i.exec();
    }
    t.Confirmar();
  });
}

int64_t TApuracaoFuncoes::GetIDLctoApurCod(const std::string& uf, int32_t tpImposto, int32_t tpLancamento, int32_t) {
  return Protegido("GetIDLctoApurCod", [&]() -> int64_t {
    banco::TComando q(c_.Db(),
        "SELECT IDLCTOAPURCOD FROM ES02_LCTOAPURCOD WHERE UF = ? AND TPIMPOSTO = ? AND TPLANCAMENTO = ?"
        " ORDER BY COALESCE(PADRAO, 0) DESC, IDLCTOAPURCOD LIMIT 1");
    banco::Vincular(q, uf, tpImposto, tpLancamento);
    return q.executeStep() ? q.getColumn(0).getInt64() : 0;
  });
}

int64_t TApuracaoFuncoes::GetIDLctoApurCod(const std::string& uf, const std::string& codigo, int32_t tpImposto,
                                           int32_t tpLancamento, int32_t) {
  return Protegido("GetIDLctoApurCod", [&]() -> int64_t {
    banco::TComando q(c_.Db(),
        "SELECT IDLCTOAPURCOD FROM ES02_LCTOAPURCOD WHERE UF = ? AND CODIGO = ? AND TPIMPOSTO = ?"
        " ORDER BY (TPLANCAMENTO = ?) DESC, COALESCE(PADRAO, 0) DESC, IDLCTOAPURCOD LIMIT 1");
    banco::Vincular(q, uf, codigo, tpImposto, tpLancamento);
    return q.executeStep() ? q.getColumn(0).getInt64() : 0;
  });
}

Currency TApuracaoFuncoes::GetUPF(const std::string& uf, TDateTime data) {
  return Protegido("GetUPF", [&] {
    banco::TComando q(c_.Db(),
        "SELECT VALOR, DATAINICIO FROM HS_UPF WHERE UF = ? AND DATAINICIO <= ? ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, uf, DataISO(data));
    const std::string naData = "da UPF de " + uf + " em " + DataBR(data);
    if (!q.executeStep())
      throw EUPFNaoCadastrada("Não há valor " + naData + " (HS_UPF não tem valor de " + uf +
                              " com início até essa data); cadastre-o para apurar o período.");
    // A value that is not a positive number is no fiscal unit: every amount counted in it would
    // be 0 or undefined.
    const banco::TColuna v = q.getColumn(0);
    const Currency valor = v.isInteger() || v.isFloat() ? Currency::FromDouble(v.getDouble()) : Currency();
    if (!(valor > Currency())) {
      TDateTime desde = 0;
      const std::string inicio = q.getColumn(1).getString();
      throw EUPFNaoCadastrada("O valor " + naData + " (HS_UPF de " + (TentarLerData(inicio, desde) ? DataBR(desde) : inicio) +
                              ") é " + (v.isNull() ? std::string("nulo") : "'" + v.getString() + "'") +
                              ", que não é um valor positivo; corrija-o para apurar o período.");
    }
    return valor;
  });
}

std::string TApuracaoFuncoes::FormatarFloat(Currency valor) { return FormatarValor(valor); }

void TApuracaoFuncoes::SalvaPaginasImpressas(int64_t idFilial, int32_t modulo, int32_t paginas, int32_t definitiva,
                                             int32_t frenteVerso, const std::string& impressora,
                                             const std::string& configuracao, int32_t modelo) {
  Protegido("SalvaPaginasImpressas", [&] {
    banco::TComando i(c_.Db(),
        "INSERT INTO HS_PAGINASIMPRESSAS (IDFILIAL, MODULO, PAGINAS, DEFINITIVA, FRENTEVERSO, IMPRESSORA,"
        " CONFIGURACAO, MODELO, DATAHORA) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::Vincular(i, idFilial, modulo, paginas, definitiva, frenteVerso, impressora, configuracao, modelo, DataHoraBR(Agora()));
    i.exec();
  });
}
