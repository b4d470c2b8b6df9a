#include "host/servicos/qdinterface.h"

#include <algorithm>
#include <stdexcept>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/servicos/protegido.h"

using servicos::Protegido;

void TQDInterface::ExibirMensagem(const std::string& texto, int tipo) {
  interacao_.ExibirMensagem(texto, static_cast<TTipoMensagem>(tipo));
}

int TQDInterface::ExibirMensagemPersonalizada(const std::string& texto, int tipo, const std::vector<TBotao>& botoes,
                                              TBotao padrao, const std::string& titulo,
                                              const std::vector<std::string>& legendas) {
  // A type the dialogs do not know would show a message without its icon and caption.
  if (tipo < static_cast<int>(TTipoMensagem::Aviso) || tipo > static_cast<int>(TTipoMensagem::Confirmacao))
    throw std::invalid_argument("Tipo de mensagem desconhecido: " + std::to_string(tipo));
  return interacao_.ExibirMensagemPersonalizada(texto, static_cast<TTipoMensagem>(tipo), botoes, padrao, titulo, legendas);
}

Currency TQDInterface::Arredondar(int32_t, int32_t decimais, Currency valor, int32_t) {
  return ArredondarMoeda(valor, decimais, TModoArredondamento::Matematico);
}

namespace {

TModoArredondamento Modo(const std::string& modo) {
  if (modo == "TRUNCAR") return TModoArredondamento::Truncar;
  if (modo == "MATEMATICO") return TModoArredondamento::Matematico;
  if (modo == "PAR") return TModoArredondamento::Par;
  throw std::invalid_argument("Modo de arredondamento desconhecido: " + modo + " (use MATEMATICO, TRUNCAR ou PAR).");
}

TDateTime ProximoDiaUtil(TDateTime d) {
  while (DiaDaSemana(d) == 1 || DiaDaSemana(d) == 7) d += 1;
  return d;
}

TDateTime DiaDoMes(TDateTime qualquerDiaDoMes, int dia) {
  auto p = DecodeDate(qualquerDiaDoMes);
  int ultimo = DiasNoMes(p.ano, p.mes);
  return EncodeDate(p.ano, p.mes, dia <= 0 || dia > ultimo ? ultimo : dia);
}
}  // namespace

Currency TQDInterface::ArredondarModo(Currency valor, const std::string& modo, int32_t decimais) {
  return ArredondarMoeda(valor, decimais, Modo(modo));
}

TFracao TQDInterface::Arredondar(int32_t, int32_t decimais, const TFracao& valor, int32_t) {
  return valor.Arredondar(decimais, TModoArredondamento::Matematico);
}

TFracao TQDInterface::ArredondarModo(const TFracao& valor, const std::string& modo, int32_t decimais) {
  return valor.Arredondar(decimais, Modo(modo));
}

TDateTime VencimentoDaRegra(int32_t tp, TDateTime fim, int32_t dia) {
  TDateTime mesSeguinte = FimDoMes(fim) + 1;
  switch (tp) {
    case 1: {  // dia-th business day of the next month
      TDateTime d = ProximoDiaUtil(mesSeguinte);
      for (int n = 1; n < dia; ++n) d = ProximoDiaUtil(d + 1);  // a day of 0 or 1: the first
      return d;
    }
    case 2: return DiaDoMes(fim, dia);                              // same month as the period end
    case 3: return fim + (dia > 0 ? dia : 0);                       // days after the period end
    case 4: return ProximoDiaUtil(DiaDoMes(IncMes(mesSeguinte, 1), dia));  // second month after
    default: return ProximoDiaUtil(DiaDoMes(mesSeguinte, dia));     // 0: day of the next month
  }
}

TDateTime TQDInterface::CalcularVencimento(int64_t, int32_t tp, TDateTime, TDateTime fim, int32_t dia) {
  return VencimentoDaRegra(tp, fim, dia);
}

std::string TQDInterface::GetConfig(const std::string& chave, const std::string& padrao) {
  return Protegido("HS_CONFIG", [&] {
    banco::TComando q(c_.Db(), "SELECT VALOR FROM HS_CONFIG WHERE CHAVE = ?");
    q.bind(1, chave);
    return q.executeStep() && !q.getColumn(0).isNull() ? q.getColumn(0).getString() : padrao;
  });
}

int32_t TQDInterface::GetConfigFrenteVerso() { return std::stoi(GetConfig("FRENTE_VERSO", "1")); }
int32_t TQDInterface::GetConfigRodape() { return std::stoi(GetConfig("RODAPE", "3")); }

int32_t TQDInterface::ObterIdConfiguracaoLivro(int64_t idFilial, int32_t tipo, TDateTime ini, TDateTime fim, const std::string&) {
  return Protegido("ObterIdConfiguracaoLivro", [&] {
    banco::TComando q(c_.Db(),
        "SELECT IDCFG FROM ES02_CFG WHERE IDFILIAL = ? AND TP = ? AND DATAINICIO <= ? AND (DATAFIM IS NULL OR DATAFIM >= ?)"
        " ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, idFilial, std::to_string(tipo), DataISO(ini), DataISO(fim));
    return q.executeStep() ? q.getColumn(0).getInt() : 0;
  });
}

// Pages per book: the book configuration row (INFORMACAO1), else HS_CONFIG LIVRO_PAGINAS. A
// value that is not a whole number is ignored (the book then has no limit).
int32_t TQDInterface::ObterPaginasLivro(int32_t idConfiguracao) {
  int32_t paginas = 0;
  try {
    paginas = std::stoi(GetConfig("LIVRO_PAGINAS", "300"));
  } catch (const std::exception&) {
  }
  if (idConfiguracao > 0) {
    banco::TComando cfg(c_.Db(), "SELECT INFORMACAO1 FROM ES02_CFG WHERE IDCFG = ?");
    cfg.bind(1, idConfiguracao);
    if (cfg.executeStep()) {
      try {
        paginas = std::stoi(cfg.getColumn(0).getString());
      } catch (const std::exception&) {
      }
    }
  }
  return paginas;
}

// The next page of a definitive book continues after the last page recorded for an earlier date;
// once that passes the pages per book the next book starts at page 2 (page 1 carries the opening
// term).
void TQDInterface::ObterNumeracaoLivro(int64_t idFilial, int32_t idConfiguracao, TDateTime data, const std::string& modulo,
                                       int32_t& livro, int32_t& pagina) {
  Protegido("ObterNumeracaoLivro", [&] {
    const int32_t paginasPorLivro = ObterPaginasLivro(idConfiguracao);
    int primeiroLivro = 1;
    if (idConfiguracao > 0) {
      banco::TComando cfg(c_.Db(), "SELECT INFORMACAO2 FROM ES02_CFG WHERE IDCFG = ?");
      cfg.bind(1, idConfiguracao);
      if (cfg.executeStep()) {
        try { primeiroLivro = std::stoi(cfg.getColumn(0).getString()); } catch (const std::exception&) {}
      }
    }
    banco::TComando q(c_.Db(),
        "SELECT LIVRO, PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND DATA < ?"
        " ORDER BY DATA DESC, ID DESC LIMIT 1");
    banco::Vincular(q, idFilial, modulo, DataISO(data));
    if (!q.executeStep()) {
      livro = primeiroLivro;
      pagina = 2;
      return;
    }
    livro = q.getColumn(0).getInt();
    pagina = q.getColumn(1).getInt() + 1;
    if (paginasPorLivro > 0 && pagina > paginasPorLivro) {
      ++livro;
      pagina = 2;
    }
  });
}

// The printing module reports, for each summary, the first page its job printed in the book and
// the page the next header would carry. The row of a period keeps what that period printed: it
// begins after the last page recorded for an earlier period of the same book when that page lies
// inside the job's range (the job went on from there), else at the job's first page.
void TQDInterface::GravarNumeracaoLivro(int64_t idFilial, int32_t livro, int32_t paginaInicial, int32_t pagina,
                                        int32_t idConfiguracao, const std::string& modulo, TDateTime data,
                                        int32_t frenteVerso) {
  Protegido("GravarNumeracaoLivro", [&] {
    TTransacao t(c_);
    int32_t primeira = paginaInicial;
    banco::TComando anterior(c_.Db(),
        "SELECT PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO = ? AND DATA < ?"
        " ORDER BY DATA DESC, ID DESC LIMIT 1");
    banco::Vincular(anterior, idFilial, modulo, livro, DataISO(data));
    if (anterior.executeStep()) {
      const int32_t seguinte = anterior.getColumn(0).getInt() + 1;
      if (seguinte > paginaInicial && seguinte < pagina) primeira = seguinte;
    }
    banco::TComando d(c_.Db(), "DELETE FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND DATA = ?");
    banco::Vincular(d, idFilial, modulo, DataISO(data));
    d.exec();
    banco::TComando i(c_.Db(),
        "INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, IDCONFIGURACAO, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA, GRAVADOEM,"
        " FRENTEVERSO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::Vincular(i, idFilial, idConfiguracao, modulo, livro, primeira, pagina - 1, DataISO(data), DataHoraBR(Agora()));
    if (frenteVerso == 1 || frenteVerso == 2) i.bind(9, frenteVerso);
    i.exec();
    t.Confirmar();
  });
}

namespace {

constexpr int32_t kMaiorNumero = 99999;  // book and folha print with five digits

// A recorded period's date as the refusals name it; one that is not a date, as it was stored.
std::string DataGuardada(const std::string& texto) {
  TDateTime d = 0;
  return TentarLerData(texto, d) ? DataBR(d) : "'" + texto + "'";
}

std::string Modo(int32_t frenteVerso) {
  return frenteVerso == 2 ? "frente e verso (PÁGINA)" : "só na frente (FOLHA)";
}

}  // namespace

// A definitive book is a legal record: a folha printed for one period is never printed again for
// another, folha 1 is the opening term's, the periods follow one another in the order of their
// folhas, and every page says FOLHA or every page says PÁGINA. A reprint of the period itself
// replaces its own row, so its folhas are not a collision.
void TQDInterface::VerificarNumeracaoLivro(int64_t idFilial, const std::string& modulo, int32_t livro, int32_t pagina,
                                           TDateTime data, int32_t frenteVerso) {
  const std::string nome = "livro " + std::to_string(livro);
  if (livro < 1 || livro > kMaiorNumero)
    throw ENumeracaoLivro("Número do livro inválido: " + std::to_string(livro) + ". O livro é numerado de 1 a 99999.");
  if (pagina < 2 || pagina > kMaiorNumero)
    throw ENumeracaoLivro("A impressão definitiva não pode começar na folha " + std::to_string(pagina) + " do " + nome +
                          ": " + (pagina < 2 ? "a folha 1 é a do termo de abertura" : "as folhas vão de 1 a 99999") +
                          "; informe uma folha de 2 a 99999.");
  Protegido("HS_NUMERACAOLIVRO", [&] {
    banco::TComando posterior(c_.Db(),
        "SELECT DATA, PAGINAINICIAL, PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO = ?"
        " AND DATA > ? ORDER BY DATA LIMIT 1");
    banco::Vincular(posterior, idFilial, modulo, livro, DataISO(data));
    if (posterior.executeStep()) {
      const std::string outra = DataGuardada(posterior.getColumn(0).getString());
      throw ENumeracaoLivro("O " + nome + " já tem o período iniciado em " + outra + " (folhas " +
                            std::to_string(posterior.getColumn(1).getInt()) + " a " +
                            std::to_string(posterior.getColumn(2).getInt()) + "); o período iniciado em " +
                            DataBR(data) + ", anterior a ele, não pode ser impresso depois nesse livro.");
    }
    banco::TComando ocupada(c_.Db(),
        "SELECT DATA, PAGINAINICIAL, PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO = ?"
        " AND DATA <> ? AND PAGINAFINAL >= ? ORDER BY PAGINAINICIAL LIMIT 1");
    banco::Vincular(ocupada, idFilial, modulo, livro, DataISO(data), pagina);
    if (ocupada.executeStep()) {
      const std::string outra = DataGuardada(ocupada.getColumn(0).getString());
      banco::TComando livre(c_.Db(),
          "SELECT MAX(PAGINAFINAL) FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO = ? AND DATA <> ?");
      banco::Vincular(livre, idFilial, modulo, livro, DataISO(data));
      livre.executeStep();
      const int32_t inicial = ocupada.getColumn(1).getInt(), final = ocupada.getColumn(2).getInt();
      throw ENumeracaoLivro("A folha " + std::to_string(std::max(pagina, inicial)) + " do " + nome +
                            " já foi impressa para o período iniciado em " + outra + " (folhas " +
                            std::to_string(inicial) + " a " + std::to_string(final) +
                            "); a primeira folha livre do livro é a " + std::to_string(livre.getColumn(0).getInt() + 1) +
                            ".");
    }
    banco::TComando modo(c_.Db(),
        "SELECT FRENTEVERSO, DATA FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO = ?"
        " AND DATA <> ? AND FRENTEVERSO IN (1, 2) AND FRENTEVERSO <> ? ORDER BY DATA LIMIT 1");
    banco::Vincular(modo, idFilial, modulo, livro, DataISO(data), frenteVerso);
    if ((frenteVerso == 1 || frenteVerso == 2) && modo.executeStep()) {
      const std::string outra = DataGuardada(modo.getColumn(1).getString());
      throw ENumeracaoLivro("O " + nome + " é impresso " + Modo(modo.getColumn(0).getInt()) + " desde o período iniciado em " +
                            outra + "; uma impressão " + Modo(frenteVerso) +
                            " nesse livro é recusada: um livro tem uma só numeração.");
    }
  });
}

TLivroRegistrado TQDInterface::ObterLivroRegistrado(int64_t idFilial, const std::string& modulo, int32_t livro) {
  return Protegido("HS_NUMERACAOLIVRO", [&] {
    TLivroRegistrado r;
    banco::TComando q(c_.Db(),
        "SELECT MIN(DATA), MAX(DATA), MAX(PAGINAFINAL), MAX(IDCONFIGURACAO), COUNT(*) FROM HS_NUMERACAOLIVRO"
        " WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO = ?");
    banco::Vincular(q, idFilial, modulo, livro);
    if (!q.executeStep() || q.getColumn(4).getInt() == 0) return r;
    TentarLerData(q.getColumn(0).getString(), r.PrimeiraData);
    TentarLerData(q.getColumn(1).getString(), r.UltimaData);
    r.UltimaPagina = q.getColumn(2).getInt();
    r.IdConfiguracao = q.getColumn(3).getInt();
    banco::TComando seguinte(c_.Db(),
        "SELECT 1 FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = ? AND MODULO = ? AND LIVRO > ? LIMIT 1");
    banco::Vincular(seguinte, idFilial, modulo, livro);
    const int32_t paginas = ObterPaginasLivro(r.IdConfiguracao);
    r.Encerrado = seguinte.executeStep() || (paginas > 0 && r.UltimaPagina + 1 > paginas);
    return r;
  });
}

// Signatories of the book's terms: ES02_CFG rows of ORIGEM 2, TP '8' (legal representative) and
// TP '9' (accountant), in force at the date.
TSignatarios TQDInterface::ObterSignatarios(int64_t idFilial, TDateTime data) {
  return Protegido("ES02_CFG (signatários)", [&] {
    TSignatarios r;
    banco::TComando q(c_.Db(),
        "SELECT TP, INFORMACAO1, INFORMACAO2, INFORMACAO3 FROM ES02_CFG WHERE IDFILIAL = ? AND ORIGEM = 2"
        " AND TP IN ('8', '9') AND DATAINICIO <= ? AND (DATAFIM IS NULL OR DATAFIM >= ?) ORDER BY DATAINICIO");
    banco::Vincular(q, idFilial, DataISO(data), DataISO(data));
    while (q.executeStep()) {
      TSignatario& s = q.getColumn(0).getString() == "8" ? r.Representante : r.Contador;
      s.Nome = q.getColumn(1).isNull() ? "" : q.getColumn(1).getString();
      s.Qualificacao = q.getColumn(2).isNull() ? "" : q.getColumn(2).getString();
      s.CPF = q.getColumn(3).isNull() ? "" : q.getColumn(3).getString();
    }
    return r;
  });
}
