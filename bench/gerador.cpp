// The generator of the benchmark databases (bench/gerador.h): reference data, the random draws that
// shape the documents, and the load through prepared statements.
#include "bench/gerador.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/banco/motor.h"

namespace gerador {

namespace {

// ------------------------------------------------------------------ deterministic random numbers

// splitmix64: tiny, fast and the same on every platform (the standard distributions are not).
class TAleatorio {
 public:
  explicit TAleatorio(uint64_t semente) : s_(semente) {}
  uint64_t Proximo() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Integer in [0, n).
  int64_t Ate(int64_t n) { return static_cast<int64_t>(Proximo() % static_cast<uint64_t>(n)); }
  // Integer in [a, b].
  int64_t Entre(int64_t a, int64_t b) { return a + Ate(b - a + 1); }
  // Real in [0, 1).
  double Real() { return static_cast<double>(Proximo() >> 11) * (1.0 / 9007199254740992.0); }
  bool Chance(double p) { return Real() < p; }
  // Index drawn by weights.
  size_t Pesos(const std::vector<int>& pesos) {
    int total = 0;
    for (int p : pesos) total += p;
    int64_t r = Ate(total);
    for (size_t i = 0; i < pesos.size(); ++i) {
      if (r < pesos[i]) return i;
      r -= pesos[i];
    }
    return pesos.size() - 1;
  }

 private:
  uint64_t s_;
};

// ------------------------------------------------------------------ reference data

struct TMunicipio {
  const char* Nome;
  const char* UF;
  const char* Ibge;
  int Peso;  // share of the participants living there
};

const TMunicipio kMunicipios[] = {
    {"São Paulo", "SP", "3550308", 180},      {"Campinas", "SP", "3509502", 60},
    {"Guarulhos", "SP", "3518800", 40},       {"Santo André", "SP", "3547809", 30},
    {"Ribeirão Preto", "SP", "3543402", 30},  {"Sorocaba", "SP", "3552205", 25},
    {"São José dos Campos", "SP", "3549904", 25}, {"Santos", "SP", "3548500", 20},
    {"Rio de Janeiro", "RJ", "3304557", 80},  {"Niterói", "RJ", "3303302", 25},
    {"Duque de Caxias", "RJ", "3301702", 15}, {"Belo Horizonte", "MG", "3106200", 70},
    {"Uberlândia", "MG", "3170206", 30},      {"Contagem", "MG", "3118601", 20},
    {"Juiz de Fora", "MG", "3136702", 15},    {"Curitiba", "PR", "4106902", 35},
    {"Londrina", "PR", "4113700", 15},        {"Porto Alegre", "RS", "4314902", 30},
    {"Caxias do Sul", "RS", "4305108", 15},   {"Florianópolis", "SC", "4205407", 15},
    {"Joinville", "SC", "4209102", 15},       {"Salvador", "BA", "2927408", 20},
    {"Goiânia", "GO", "5208707", 15},         {"Vitória", "ES", "3205309", 10},
    {"Recife", "PE", "2611606", 15},          {"Brasília", "DF", "5300108", 15},
    {"Cuiabá", "MT", "5103403", 8},           {"Manaus", "AM", "1302603", 7},
};

// How the values of an item are filled.
enum TTipoItem {
  tiTributada,     // own ICMS (some items exempt, non-taxed or with a base reduction)
  tiTributadaIPI,  // own ICMS and IPI (industrial operations)
  tiSTDebito,      // exit as substitute taxpayer: own ICMS plus ICMS-ST (DEBITOST = 1 when interstate)
  tiSTRetido,      // entry with ICMS-ST retained by the supplier (no credit, CREDITOST = 0)
  tiSTSubstituido, // exit of goods whose ST was already paid: other amounts only
  tiDevolucaoST,   // return with ICMS-ST credit (CREDITOST = 1)
  tiOutras,        // no ICMS: other amounts
  tiExportacao     // exports: other amounts
};

struct TFamiliaCfop {
  const char* Base;       // "5.102"
  const char* Descricao;  // official description
  TTipoItem Tipo;
  int Sufixos;            // rows .001 .. .00n besides .000
  int Peso;               // share among the families of its direction and scope
  bool SemZero = false;   // no .000 row (the grouped register falls back to the detailed text)
};

const TFamiliaCfop kFamilias[] = {
    // entries from the state
    {"1.101", "COMPRA PARA INDUSTRIALIZAÇÃO OU PRODUÇÃO RURAL", tiTributadaIPI, 2, 10},
    {"1.102", "COMPRA PARA COMERCIALIZAÇÃO", tiTributada, 3, 45},
    {"1.126", "COMPRA PARA UTILIZAÇÃO NA PRESTAÇÃO DE SERVIÇO SUJEITA AO ICMS", tiTributada, 0, 2},
    {"1.202", "DEVOLUÇÃO DE VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiTributada, 1, 5},
    {"1.252", "COMPRA DE ENERGIA ELÉTRICA POR ESTABELECIMENTO INDUSTRIAL", tiTributada, 0, 2},
    {"1.353", "AQUISIÇÃO DE SERVIÇO DE TRANSPORTE POR ESTABELECIMENTO COMERCIAL", tiTributada, 1, 4},
    {"1.403", "COMPRA PARA COMERCIALIZAÇÃO EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiSTRetido, 2, 10},
    {"1.407", "COMPRA DE MERCADORIA PARA USO OU CONSUMO CUJA MERCADORIA ESTÁ SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiSTRetido, 0, 2},
    {"1.411", "DEVOLUÇÃO DE VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiDevolucaoST, 0, 2},
    {"1.551", "COMPRA DE BEM PARA O ATIVO IMOBILIZADO", tiOutras, 0, 2},
    {"1.556", "COMPRA DE MATERIAL PARA USO OU CONSUMO", tiOutras, 2, 6},
    {"1.653", "COMPRA DE COMBUSTÍVEL OU LUBRIFICANTE POR CONSUMIDOR OU USUÁRIO FINAL", tiSTRetido, 0, 2},
    {"1.910", "ENTRADA DE BONIFICAÇÃO, DOAÇÃO OU BRINDE", tiTributada, 0, 3},
    {"1.949", "OUTRA ENTRADA DE MERCADORIA OU PRESTAÇÃO DE SERVIÇO NÃO ESPECIFICADA", tiOutras, 2, 5},
    // entries from other states
    {"2.101", "COMPRA PARA INDUSTRIALIZAÇÃO OU PRODUÇÃO RURAL", tiTributadaIPI, 1, 10},
    {"2.102", "COMPRA PARA COMERCIALIZAÇÃO", tiTributada, 3, 45},
    {"2.202", "DEVOLUÇÃO DE VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiTributada, 0, 4},
    {"2.353", "AQUISIÇÃO DE SERVIÇO DE TRANSPORTE POR ESTABELECIMENTO COMERCIAL", tiTributada, 0, 4},
    {"2.403", "COMPRA PARA COMERCIALIZAÇÃO EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiSTRetido, 2, 10},
    {"2.407", "COMPRA DE MERCADORIA PARA USO OU CONSUMO CUJA MERCADORIA ESTÁ SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiSTRetido, 0, 2},
    {"2.411", "DEVOLUÇÃO DE VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiDevolucaoST, 1, 6},
    {"2.551", "COMPRA DE BEM PARA O ATIVO IMOBILIZADO", tiOutras, 0, 2},
    {"2.556", "COMPRA DE MATERIAL PARA USO OU CONSUMO", tiOutras, 1, 6},
    {"2.910", "ENTRADA DE BONIFICAÇÃO, DOAÇÃO OU BRINDE", tiTributada, 0, 3},
    {"2.949", "OUTRA ENTRADA DE MERCADORIA OU PRESTAÇÃO DE SERVIÇO NÃO ESPECIFICADA", tiOutras, 1, 5},
    // entries from abroad
    {"3.101", "COMPRA PARA INDUSTRIALIZAÇÃO OU PRODUÇÃO RURAL", tiTributadaIPI, 0, 40},
    {"3.102", "COMPRA PARA COMERCIALIZAÇÃO", tiTributada, 1, 50},
    {"3.949", "OUTRA ENTRADA DE MERCADORIA OU PRESTAÇÃO DE SERVIÇO NÃO ESPECIFICADA", tiOutras, 0, 10},
    // exits to the state
    {"5.101", "VENDA DE PRODUÇÃO DO ESTABELECIMENTO", tiTributadaIPI, 2, 12},
    {"5.102", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiTributada, 3, 40},
    {"5.152", "TRANSFERÊNCIA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiTributada, 0, 3},
    {"5.202", "DEVOLUÇÃO DE COMPRA PARA COMERCIALIZAÇÃO", tiTributada, 1, 3},
    {"5.401", "VENDA DE PRODUÇÃO DO ESTABELECIMENTO EM OPERAÇÃO COM PRODUTO SUJEITO AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA, NA CONDIÇÃO DE CONTRIBUINTE SUBSTITUTO", tiSTDebito, 0, 3},
    {"5.403", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA, NA CONDIÇÃO DE CONTRIBUINTE SUBSTITUTO", tiSTDebito, 1, 6},
    {"5.405", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA, NA CONDIÇÃO DE CONTRIBUINTE SUBSTITUÍDO", tiSTSubstituido, 2, 10},
    {"5.411", "DEVOLUÇÃO DE COMPRA PARA COMERCIALIZAÇÃO EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA", tiSTSubstituido, 0, 2},
    {"5.551", "VENDA DE BEM DO ATIVO IMOBILIZADO", tiOutras, 0, 1},
    {"5.556", "DEVOLUÇÃO DE COMPRA DE MATERIAL DE USO OU CONSUMO", tiOutras, 0, 1},
    {"5.910", "REMESSA EM BONIFICAÇÃO, DOAÇÃO OU BRINDE", tiTributada, 2, 3, true},
    {"5.915", "REMESSA DE MERCADORIA OU BEM PARA CONSERTO OU REPARO", tiOutras, 0, 1},
    {"5.929", "LANÇAMENTO EFETUADO EM DECORRÊNCIA DE EMISSÃO DE DOCUMENTO FISCAL RELATIVO A OPERAÇÃO OU PRESTAÇÃO TAMBÉM REGISTRADA EM EQUIPAMENTO EMISSOR DE CUPOM FISCAL - ECF", tiOutras, 0, 3},
    {"5.949", "OUTRA SAÍDA DE MERCADORIA OU PRESTAÇÃO DE SERVIÇO NÃO ESPECIFICADO", tiOutras, 2, 4},
    // exits to other states
    {"6.101", "VENDA DE PRODUÇÃO DO ESTABELECIMENTO", tiTributadaIPI, 2, 12},
    {"6.102", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiTributada, 3, 35},
    {"6.108", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS, DESTINADA A NÃO CONTRIBUINTE", tiTributada, 1, 6},
    {"6.152", "TRANSFERÊNCIA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiTributada, 0, 2},
    {"6.202", "DEVOLUÇÃO DE COMPRA PARA COMERCIALIZAÇÃO", tiTributada, 0, 3},
    {"6.401", "VENDA DE PRODUÇÃO DO ESTABELECIMENTO EM OPERAÇÃO COM PRODUTO SUJEITO AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA, NA CONDIÇÃO DE CONTRIBUINTE SUBSTITUTO", tiSTDebito, 0, 3},
    {"6.403", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS EM OPERAÇÃO COM MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA, NA CONDIÇÃO DE CONTRIBUINTE SUBSTITUTO", tiSTDebito, 2, 15},
    {"6.404", "VENDA DE MERCADORIA SUJEITA AO REGIME DE SUBSTITUIÇÃO TRIBUTÁRIA, CUJO IMPOSTO JÁ TENHA SIDO RETIDO ANTERIORMENTE", tiSTSubstituido, 1, 3},
    {"6.551", "VENDA DE BEM DO ATIVO IMOBILIZADO", tiOutras, 0, 1},
    {"6.910", "REMESSA EM BONIFICAÇÃO, DOAÇÃO OU BRINDE", tiTributada, 0, 2},
    {"6.915", "REMESSA DE MERCADORIA OU BEM PARA CONSERTO OU REPARO", tiOutras, 0, 1},
    {"6.949", "OUTRA SAÍDA DE MERCADORIA OU PRESTAÇÃO DE SERVIÇO NÃO ESPECIFICADO", tiOutras, 2, 4},
    // exits abroad
    {"7.101", "VENDA DE PRODUÇÃO DO ESTABELECIMENTO", tiExportacao, 0, 40},
    {"7.102", "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TERCEIROS", tiExportacao, 1, 50},
    {"7.949", "OUTRA SAÍDA DE MERCADORIA OU PRESTAÇÃO DE SERVIÇO NÃO ESPECIFICADO", tiExportacao, 0, 10},
};

const char* const kComplementos[] = {"", " - VAREJO", " - ATACADO", " - E-COMMERCE", " - FILIAL"};

// A CFOP row as stored, with the family it belongs to.
struct TCfop {
  int64_t Id;
  size_t Familia;
};

// The CFOPs of one direction (entries/exits) and scope (state, other states, abroad).
struct TGrupoCfop {
  std::vector<size_t> Familias;
  std::vector<int> Pesos;
};

// ------------------------------------------------------------------ helpers

std::string Dois(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

// The 365 days of 2025 as ISO texts, plus the last days of 2024 for issue dates before an entry.
struct TCalendario {
  std::vector<std::string> Dias;  // index 0 = 2025-01-01
  std::vector<int> Mes;           // month of each day
  std::vector<std::string> FimMes;
  TCalendario() {
    const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= dias[m - 1]; ++d) {
        Dias.push_back("2025-" + Dois(m) + "-" + Dois(d));
        Mes.push_back(m);
      }
      FimMes.push_back("2025-" + Dois(m) + "-" + Dois(dias[m - 1]));
    }
  }
  // Day index relative to 2025-01-01, negative for December 2024.
  std::string Data(int indice) const {
    if (indice >= 0) return Dias.at(static_cast<size_t>(indice));
    return "2024-12-" + Dois(32 + indice);
  }
};

double Reais(int64_t centavos) { return static_cast<double>(centavos) / 100.0; }

// Rounded percentage of an amount in cents.
int64_t Percentual(int64_t centavos, double aliquota) {
  return static_cast<int64_t>(std::llround(static_cast<double>(centavos) * aliquota / 100.0));
}

bool SulSudesteSemES(const std::string& uf) {
  return uf == "SP" || uf == "RJ" || uf == "MG" || uf == "PR" || uf == "RS" || uf == "SC";
}

// Internal rate of the destination state, used for the ICMS-ST.
double AliquotaInterna(const std::string& uf) {
  if (uf == "RJ") return 20.0;
  if (uf == "MG" || uf == "SP" || uf == "PR") return 18.0;
  return 17.0;
}

struct TValores {
  double Aliq = 0;
  int64_t VlrContabil = 0, BC = 0, ICMS = 0, Isentas = 0, NT = 0, Outras = 0, BCST = 0, ICMSST = 0, IPI = 0,
          Reducao = 0, Diferido = 0;
  int FlagST = 0;
};

// Amount of goods of one item, in cents: mostly tens to thousands of reais, a few large ones.
int64_t ValorMercadoria(TAleatorio& a) {
  double l = std::log(800.0) + a.Real() * (std::log(3'500'000.0) - std::log(800.0));
  return static_cast<int64_t>(std::exp(l));
}

TValores CalcularItem(TAleatorio& a, TTipoItem tipo, bool saida, int escopo, const std::string& ufParticipante) {
  TValores v;
  int64_t mercadoria = ValorMercadoria(a);
  double aliq = escopo == 0 ? (a.Chance(0.85) ? 18.0 : a.Chance(0.5) ? 12.0 : 25.0)
                : escopo == 1 ? (SulSudesteSemES(ufParticipante) ? 12.0 : 7.0)
                              : 4.0;
  if (escopo == 1 && !saida && !SulSudesteSemES(ufParticipante)) aliq = 12.0;  // from N/NE/CO/ES to SP
  switch (tipo) {
    case tiTributada:
    case tiTributadaIPI: {
      if (tipo == tiTributadaIPI) v.IPI = Percentual(mercadoria, a.Chance(0.5) ? 10.0 : 5.0);
      double r = a.Real();
      if (r < 0.80) {  // taxed
        v.Aliq = aliq;
        v.BC = mercadoria;
        v.ICMS = Percentual(v.BC, aliq);
        v.Outras = v.IPI;
      } else if (r < 0.86) {  // base reduced to 2/3
        v.Aliq = aliq;
        v.BC = mercadoria * 2 / 3;
        v.Reducao = mercadoria - v.BC;
        v.ICMS = Percentual(v.BC, aliq);
        v.Isentas = v.Reducao;
        v.Outras = v.IPI;
      } else if (r < 0.93) {
        v.Isentas = mercadoria + v.IPI;
      } else if (r < 0.97) {
        v.NT = mercadoria + v.IPI;
      } else if (!saida && r < 0.985) {  // deferred
        v.Aliq = aliq;
        v.Diferido = Percentual(mercadoria, aliq);
        v.Outras = mercadoria + v.IPI;
      } else {
        v.Outras = mercadoria + v.IPI;
      }
      v.VlrContabil = mercadoria + v.IPI;
      break;
    }
    case tiSTDebito: {
      v.Aliq = aliq;
      v.BC = mercadoria;
      v.ICMS = Percentual(v.BC, aliq);
      v.IPI = a.Chance(0.3) ? Percentual(mercadoria, 5.0) : 0;
      v.BCST = Percentual(mercadoria + v.IPI, 140.0);  // MVA of 40%
      v.ICMSST = std::max<int64_t>(0, Percentual(v.BCST, AliquotaInterna(ufParticipante)) - v.ICMS);
      v.VlrContabil = mercadoria + v.IPI + v.ICMSST;
      v.Outras = v.IPI;
      v.FlagST = escopo == 1 ? 1 : 0;
      break;
    }
    case tiSTRetido: {
      v.BCST = Percentual(mercadoria, 135.0);
      v.ICMSST = std::max<int64_t>(0, Percentual(v.BCST, 18.0) - Percentual(mercadoria, aliq));
      v.VlrContabil = mercadoria + v.ICMSST;
      v.Outras = v.VlrContabil;
      break;
    }
    case tiSTSubstituido:
      v.VlrContabil = mercadoria;
      v.Outras = mercadoria;
      break;
    case tiDevolucaoST: {
      v.Aliq = aliq;
      v.BC = mercadoria;
      v.ICMS = Percentual(v.BC, aliq);
      v.BCST = Percentual(mercadoria, 140.0);
      v.ICMSST = std::max<int64_t>(0, Percentual(v.BCST, AliquotaInterna(ufParticipante)) - v.ICMS);
      v.VlrContabil = mercadoria + v.ICMSST;
      v.FlagST = 1;
      break;
    }
    case tiOutras:
      v.VlrContabil = mercadoria;
      if (a.Chance(0.2)) v.Isentas = mercadoria; else v.Outras = mercadoria;
      break;
    case tiExportacao:
      v.VlrContabil = mercadoria;
      v.Outras = mercadoria;
      break;
  }
  return v;
}


class TGerador {
 public:
  TGerador(banco::TBanco& db, const TOpcoes& o)
      : db_(db), alvo_(o.Itens), filiais_(o.Filiais), porEmpresa_(std::max(1, o.FiliaisPorEmpresa)), meses_(o.Meses), a_(0x1CA5'2025'0001ULL) {
    for (int m = 0; m < meses_; ++m) nDias_ += kDiasMes[m];
  }

  void Gerar() {
    Cadastros();
    Cfops();
    Participantes();
    Documentos();
    LancamentosUsuario();
  }

  TResumo Resumo() const {
    TResumo r;
    r.Municipios = contMunicipios_;
    r.Cfops = static_cast<int>(cfops_.size());
    r.Participantes = kParticipantes;
    r.DocumentosEntrada = docsEntrada_;
    r.ItensEntrada = itensEntrada_;
    r.DocumentosSaida = docsSaida_;
    r.ItensSaida = itensSaida_;
    r.ItensDebitoST = itensDebitoST_;
    r.ItensCreditoST = itensCreditoST_;
    r.GuiasGNRE = guias_;
    r.Lancamentos = lancamentos_;
    return r;
  }

 private:
  static constexpr int kParticipantes = 2000;
  static constexpr int kFornecedores = 700;  // participants 1..700 sell to the establishments
  static constexpr int kDiasMes[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

  void Exec(const std::string& sql) { db_.exec(sql); }

  void Cadastros() {
    Exec("INSERT INTO CA06_USUARIO (IDUSUARIO, NOME, NOMEFANTASIA, TELEFONE1) VALUES "
         "(1, 'Administrador', 'Escritório Contábil Benchmark Ltda', '(11) 3000-0000')");
    banco::TComando m(db_, "INSERT INTO CA06_MUNICIPIO (IDMUNICIPIO, NOME, UF, CODIGOIBGE) VALUES (?, ?, ?, ?)");
    int id = 0;
    for (const auto& mu : kMunicipios) {
      m.bind(1, ++id);
      m.bind(2, mu.Nome);
      m.bind(3, mu.UF);
      m.bind(4, mu.Ibge);
      m.exec();
      m.reset();
      pesosMunicipio_.push_back(mu.Peso);
    }
    contMunicipios_ = id;
    // payment codes and official entry codes, shared by every establishment
    Exec("INSERT INTO ES02_CODIGOREC (IDCODIGOREC, UF, CODIGO, DESCRICAO, TPDIAVENCTO, DIAVENCTO) VALUES "
         "(1, 'SP', '046-2', 'ICMS - Regime Periódico de Apuração', 0, '20'),"
         "(2, 'SP', '063-2', 'ICMS - Substituição Tributária por Apuração', 0, '9'),"
         "(3, 'RJ', '0213', 'ICMS - Substituição Tributária - Contribuinte Inscrito', 0, '9'),"
         "(4, 'MG', '0121', 'ICMS - Substituição Tributária - Operações Interestaduais', 0, '9'),"
         "(5, 'SP', '046-2', 'ICMS - Parcelamento de Débito', 0, '25')");
    // official codes of other states (SP keeps none, so its balances are carried without code)
    Exec("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO, PADRAO) VALUES "
         "(1, 'RS', '5', 'Saldo credor do período anterior', 1, 5, 1),"
         "(2, 'RS', '18', 'Imposto postergado do período anterior', 1, 15, 0),"
         "(3, 'SC', '1', 'Saldo credor do mês anterior', 1, 5, 1)");
    for (int f = 1; f <= filiais_; ++f) Estabelecimento(f);
  }

  // Establishment f: FiliaisPorEmpresa a company, the first of each its head office; all in São
  // Paulo/SP with the same parameters, inscriptions and assets.
  void Estabelecimento(int f) {
    const int empresa = (f - 1) / porEmpresa_ + 1, codigo = (f - 1) % porEmpresa_ + 1;
    const std::string e = std::to_string(empresa), id = std::to_string(f);
    const bool unico = filiais_ == 1;
    const std::string nome = unico ? "Distribuidora Grande Volume Ltda" : "Distribuidora Benchmark " + e + " Ltda";
    if (codigo == 1)
      Exec("INSERT INTO SC00_EMPRESA (IDEMPRESA, EMPRESA, NOME, NOMEFANTASIA, CNPJ) VALUES (" + e + ", " + e + ", '" + nome +
           "', '" + (unico ? std::string("Grande Volume") : "Benchmark " + e) + "', '11444777000161')");
    Exec("INSERT INTO SC00_FILIAL (IDFILIAL, IDEMPRESA, FILIAL, NOME, NOMEFANTASIA, CNPJ, IESTADUAL, IMUNICIPAL, ENDERECO,"
         " NUMERO, COMPLEMENTO, BAIRRO, CEP, IDMUNICIPIO, TELEFONE1, EHMATRIZ, INICIOATIVIDADE) VALUES (" + id + ", " + e +
         ", " + std::to_string(codigo) + ", '" + nome + "', '" +
         (unico ? std::string("Grande Volume - Matriz") : "Benchmark " + e + " - " + (codigo == 1 ? "Matriz" : "Filial " + std::to_string(codigo))) +
         "', '11444777000161', '111.222.333.444', '1.234.567-8', 'Avenida das Nações Unidas', '12901', 'Torre Norte',"
         " 'Brooklin', '04578910', 1, '(11) 5555-1000', " + (codigo == 1 ? "1" : "0") + ", '2010-05-03')");
    Exec("INSERT INTO HS_PERIODICIDADE (IDFILIAL, DATAINICIO, DATAFIM, PERIODICIDADE) VALUES (" + id + ", '2020-01-01', NULL, 7)");
    Exec("INSERT INTO HS_ENQUADRAMENTO (IDFILIAL, DATAINICIO, DATAFIM, ENQUADRAMENTO) VALUES (" + id + ", '2020-01-01', NULL, 2)");
    Exec("INSERT INTO HS_PERFILEFD (IDFILIAL, DATAINICIO, DATAFIM, PERFIL, REGISTROAUX) VALUES (" + id +
         ", '2020-01-01', NULL, 'A', 1)");
    const std::string c1 = std::to_string(3 * f - 2), c2 = std::to_string(3 * f - 1), c3 = std::to_string(3 * f);
    Exec("INSERT INTO ES02_CFG (IDCFG, IDFILIAL, ORIGEM, TP, DATAINICIO, DATAFIM, INFORMACAO1, INFORMACAO2) VALUES "
         "(" + c1 + ", " + id + ", 2, '2', '2020-01-01', NULL, '1', NULL),"
         "(" + c2 + ", " + id + ", 2, '7', '2020-01-01', NULL, '2', NULL),"
         "(" + c3 + ", " + id + ", 2, '5', '2020-01-01', NULL, '300', '1')");
    const std::string i1 = std::to_string(2 * f - 1), i2 = std::to_string(2 * f);
    Exec("INSERT INTO HS_INSCRICAOST (IDINSCRICAOST, IDFILIAL, UF, INSCREST, PERIODICIDADE, IDCODIGOREC, DATAINICIO, DATAFIM) VALUES "
         "(" + i1 + ", " + id + ", 'RJ', '87654321', 0, 3, '2020-01-01', NULL),"
         "(" + i2 + ", " + id + ", 'MG', '', 0, 4, '2020-01-01', NULL)");
    Exec("INSERT INTO HS_CIAPBEM (IDBEM, IDFILIAL, DESCRICAO, DATAENTRADA, VALORICMS, PARCELAS, DATABAIXA) VALUES "
         "(" + i1 + ", " + id + ", 'Empilhadeira elétrica 2,5 t', '2024-06-10', 14400.00, 48, NULL),"
         "(" + i2 + ", " + id + ", 'Câmara fria 40 m3', '2025-03-18', 31250.40, 48, NULL)");
  }

  void Cfops() {
    banco::TComando c(db_, "INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (?, ?, ?)");
    int64_t id = 0;
    for (size_t f = 0; f < std::size(kFamilias); ++f) {
      const auto& fam = kFamilias[f];
      for (int s = fam.SemZero ? 1 : 0; s <= fam.Sufixos; ++s) {
        std::string cfop = std::string(fam.Base) + ".00" + std::to_string(s);
        std::string desc = std::string(fam.Descricao) + (s == 0 ? "" : kComplementos[s % std::size(kComplementos)]);
        c.bind(1, ++id);
        c.bind(2, cfop);
        c.bind(3, desc);
        c.exec();
        c.reset();
        cfops_.push_back({id, f});
      }
      primeiraLinha_.push_back(cfops_.size() - static_cast<size_t>(fam.Sufixos + (fam.SemZero ? 0 : 1)));
      linhas_.push_back(static_cast<size_t>(fam.Sufixos + (fam.SemZero ? 0 : 1)));
      // groups 0..2: entries from the state, other states, abroad; 3..5: exits likewise
      size_t grupo = fam.Base[0] >= '5' ? static_cast<size_t>(fam.Base[0] - '5') + 3 : static_cast<size_t>(fam.Base[0] - '1');
      grupos_[grupo].Familias.push_back(f);
      grupos_[grupo].Pesos.push_back(fam.Peso);
    }
  }

  void Participantes() {
    banco::TComando c(db_, "INSERT INTO ES02_CLIFOR (IDCLIFOR, NOME, CNPJCPF, IESTADUAL, IDMUNICIPIO) VALUES (?, ?, ?, ?, ?)");
    banco::TComando p(db_, "INSERT INTO CO01_PLANO (IDPLANO, IDEMPRESA, CONTA, DESCRICAO, IDCLIFOR) VALUES (?, 1, ?, ?, ?)");
    const char* const tipos[] = {"Comércio de Alimentos", "Distribuidora", "Indústria de Embalagens", "Atacadista",
                                 "Supermercados", "Transportes", "Bebidas", "Materiais de Limpeza", "Papelaria"};
    const char* const sobrenomes[] = {"Silva", "Souza", "Oliveira", "Santos", "Pereira", "Costa", "Ferreira",
                                      "Almeida", "Ribeiro", "Carvalho", "Gomes", "Martins", "Rocha", "Lima"};
    ufParticipante_.assign(kParticipantes + 1, "");
    for (int i = 1; i <= kParticipantes; ++i) {
      size_t m = a_.Pesos(pesosMunicipio_);
      ufParticipante_[static_cast<size_t>(i)] = kMunicipios[m].UF;
      std::string nome = std::string(tipos[a_.Ate(std::size(tipos))]) + " " + sobrenomes[a_.Ate(std::size(sobrenomes))] +
                         " " + kMunicipios[m].Nome + " " + std::to_string(i) + " Ltda";
      char cnpj[16];
      std::snprintf(cnpj, sizeof cnpj, "%08lld0001%02lld", static_cast<long long>(10'000'000 + i * 3'917),
                    static_cast<long long>(a_.Ate(100)));
      char ie[24];
      std::snprintf(ie, sizeof ie, "%03lld.%03lld.%03lld.%03lld", static_cast<long long>(a_.Ate(1000)),
                    static_cast<long long>(a_.Ate(1000)), static_cast<long long>(a_.Ate(1000)),
                    static_cast<long long>(a_.Ate(1000)));
      c.bind(1, i);
      c.bind(2, nome);
      c.bind(3, cnpj);
      c.bind(4, ie);
      c.bind(5, static_cast<int>(m + 1));
      c.exec();
      c.reset();
      char conta[24];
      std::snprintf(conta, sizeof conta, "%s.%04d", i <= kFornecedores ? "2.1.1.01" : "1.1.2.01", i);
      p.bind(1, i);
      p.bind(2, conta);
      p.bind(3, nome);
      p.bind(4, i);
      p.exec();
      p.reset();
    }
  }

  // Escopo of a participant: 0 same state as the establishment (SP), 1 other state.
  int Escopo(int participante) const { return ufParticipante_[static_cast<size_t>(participante)] == "SP" ? 0 : 1; }

  const TCfop& SortearCfop(size_t familia) {
    // rows of a family are contiguous in cfops_
    size_t primeiro = primeiraLinha_[familia], n = linhas_[familia];
    // the .000 row takes half of the items when there are suffixes
    if (n > 1 && a_.Chance(0.5)) return cfops_[primeiro];
    return cfops_[primeiro + static_cast<size_t>(a_.Ate(static_cast<int64_t>(n)))];
  }

  void Documentos() {
    for (int f = 1; f <= filiais_; ++f) {
      const int64_t alvo = alvo_ / filiais_ + (f == filiais_ ? alvo_ % filiais_ : 0);
      Documentos(f, alvo);
    }
  }

  // The documents of establishment f, about `alvo` items spread over the months generated.
  void Documentos(int f, int64_t alvo) {
    banco::TComando ent(db_,
        "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, DATAEMISSAO, NUMERO, MODELO, SERIE, SUBSERIE, ESPECIE)"
        " VALUES (?, " + std::to_string(f) + ", ?, ?, ?, ?, '55', '1', '', 'NFE')");
    banco::TComando sai(db_,
        "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO, MODELO, SERIE, SUBSERIE, ESPECIE)"
        " VALUES (?, " + std::to_string(f) + ", ?, ?, ?, '55', '1', '', 'NFE')");
    const char* colunas =
        " ALIQICMS, VLRCONTABIL, BCICMS, ICMS, ISENTASICMS, NTICMS, OUTRASICMS, BCICMSST, ICMSST, IPI, VLRREDUCAOBCICMS, DIFERIDO,";
    banco::TComando entDet(db_, std::string("INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP,") + colunas +
                                      " CREDITOST) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::TComando saiDet(db_, std::string("INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP,") + colunas +
                                      " DEBITOST) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::TComando spinf(db_, "INSERT INTO ES02_SAIDASPINF (IDSAIDASPINF, IDSAIDA) VALUES (?, ?)");
    banco::TComando gnre(db_,
        "INSERT INTO ES02_GNRE (IDGNRE, IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, VALORGNRE, NUMEROGNRE, UFFAVOR)"
        " VALUES (?, " + std::to_string(f) + ", '4011', '100048', ?, ?, ?, 'MG')");
    banco::TComando gnres(db_, "INSERT INTO ES02_GNRES (IDGNRES, IDGNRE, IDSAIDASPINF) VALUES (?, ?, ?)");

    const std::vector<int> pesosItens = {25, 20, 15, 12, 10, 8, 6, 4};  // 1..8 items a document
    const int64_t alvoEntradas = alvo * 4 / 10, alvoSaidas = alvo - alvoEntradas;
    int64_t itensEntrada = 0, itensSaida = 0;
    int64_t numero[2] = {100'000, 500'000};

    // Documents interleave in date order: the next document is an entry or an exit so that both
    // sides advance over the year at the same pace.
    while (itensEntrada < alvoEntradas || itensSaida < alvoSaidas) {
      double fracE = static_cast<double>(itensEntrada) / static_cast<double>(alvoEntradas);
      double fracS = static_cast<double>(itensSaida) / static_cast<double>(alvoSaidas);
      bool saida = itensEntrada >= alvoEntradas || (itensSaida < alvoSaidas && fracS <= fracE);
      double frac = saida ? fracS : fracE;
      int dia = std::min(nDias_ - 1, static_cast<int>(frac * nDias_));
      int lado = saida ? 1 : 0;

      int participante = saida ? static_cast<int>(a_.Entre(kFornecedores / 2, kParticipantes))
                               : static_cast<int>(a_.Entre(1, kFornecedores));
      int escopo = Escopo(participante);
      if (a_.Chance(0.01)) escopo = 2;  // import / export
      const std::string& uf = ufParticipante_[static_cast<size_t>(participante)];
      const TGrupoCfop& grupo = grupos_[static_cast<size_t>(lado * 3 + escopo)];
      size_t familiaDoc = grupo.Familias[a_.Pesos(grupo.Pesos)];
      int nItens = static_cast<int>(a_.Pesos(pesosItens)) + 1;
      int64_t idDoc = saida ? ++docsSaida_ : ++docsEntrada_;
      ++numero[lado];

      if (saida) {
        sai.bind(1, idDoc);
        sai.bind(2, participante);
        sai.bind(3, cal_.Data(dia));
        sai.bind(4, numero[lado]);
        sai.exec();
        sai.reset();
      } else {
        ent.bind(1, idDoc);
        ent.bind(2, participante);
        ent.bind(3, cal_.Data(dia));
        ent.bind(4, cal_.Data(dia - static_cast<int>(a_.Ate(5))));
        ent.bind(5, numero[lado]);
        ent.exec();
        ent.reset();
      }

      int64_t stDoc = 0;
      for (int k = 0; k < nItens; ++k) {
        size_t familia = a_.Chance(0.8) ? familiaDoc : grupo.Familias[a_.Pesos(grupo.Pesos)];
        const TCfop& cfop = SortearCfop(familia);
        TValores v = CalcularItem(a_, kFamilias[familia].Tipo, saida, escopo, uf);
        banco::TComando& det = saida ? saiDet : entDet;
        det.bind(1, ++idDet_[lado]);
        det.bind(2, idDoc);
        det.bind(3, cfop.Id);
        det.bind(4, v.Aliq);
        det.bind(5, Reais(v.VlrContabil));
        det.bind(6, Reais(v.BC));
        det.bind(7, Reais(v.ICMS));
        det.bind(8, Reais(v.Isentas));
        det.bind(9, Reais(v.NT));
        det.bind(10, Reais(v.Outras));
        det.bind(11, Reais(v.BCST));
        det.bind(12, Reais(v.ICMSST));
        det.bind(13, Reais(v.IPI));
        det.bind(14, Reais(v.Reducao));
        det.bind(15, Reais(v.Diferido));
        det.bind(16, v.FlagST);
        det.exec();
        det.reset();
        if (v.FlagST) {
          if (saida) { ++itensDebitoST_; stDoc += v.ICMSST; } else { ++itensCreditoST_; }
        }
      }
      (saida ? itensSaida : itensEntrada) += nItens;
      (saida ? itensSaida_ : itensEntrada_) += nItens;

      // most MG exits with ICMS-ST debits are paid by a GNRE guide, one per exit
      if (saida && stDoc > 0 && uf == "MG" && a_.Chance(0.85)) {
        ++guias_;
        spinf.bind(1, guias_);
        spinf.bind(2, idDoc);
        spinf.exec();
        spinf.reset();
        gnre.bind(1, guias_);
        gnre.bind(2, cal_.Data(std::min(364, dia + static_cast<int>(a_.Ate(6)))));
        gnre.bind(3, Reais(stDoc));
        gnre.bind(4, "2025" + Dois(cal_.Mes[static_cast<size_t>(dia)]) + std::to_string(1'000'000 + guias_));
        gnre.exec();
        gnre.reset();
        gnres.bind(1, guias_);
        gnres.bind(2, guias_);
        gnres.bind(3, guias_);
        gnres.exec();
        gnres.reset();
      }
    }
  }

  void LancamentosUsuario() {
    for (int f = 1; f <= filiais_; ++f) LancamentosUsuario(f);
  }

  void LancamentosUsuario(int f) {
    banco::TComando l(db_,
        "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, IDCODIGOREC, VALOR,"
        " DATA, DATAFIM, DESCRICAO, ORIGEM, IDORIGEM, GERADO) VALUES (?, " + std::to_string(f) +
        ", ?, ?, ?, 0, ?, ?, ?, ?, ?, 0, 0, 0)");
    banco::TComando aux(db_,
        "INSERT INTO ES02_LCTOAPURAUX (IDLCTOAPUR, TP, INFORMACAO1, INFORMACAO2, INFORMACAO3) VALUES (?, 1, ?, ?, ?)");
    banco::TComando obs(db_, "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (" + std::to_string(f) +
                                   ", '2001', ?, ?)");
    auto lancar = [&](int tipo, int tpImposto, const char* imposto, int idCodigoRec, int64_t centavos,
                      const std::string& data, const std::string& descricao) {
      l.bind(1, ++lancamentos_);
      l.bind(2, tipo);
      l.bind(3, tpImposto);
      l.bind(4, imposto);
      l.bind(5, idCodigoRec);
      l.bind(6, Reais(centavos));
      l.bind(7, data);
      l.bind(8, data);
      l.bind(9, descricao);
      l.exec();
      l.reset();
      return lancamentos_;
    };
    for (int m = 1; m <= meses_; ++m) {
      const std::string& fim = cal_.FimMes[static_cast<size_t>(m - 1)];
      std::string meio = "2025-" + Dois(m) + "-15";
      std::string mes = Dois(m) + "/2025";
      lancar(1, 1, "2001", 0, a_.Entre(50'000, 2'500'000), fim, "Crédito extemporâneo - NF " + std::to_string(a_.Entre(10'000, 99'999)));
      lancar(1, 1, "2001", 0, a_.Entre(10'000, 900'000), meio, "Outros créditos - ressarcimento de ICMS-ST " + mes);
      lancar(2, 1, "2001", 0, a_.Entre(5'000, 500'000), fim, "Estorno de débito - destaque indevido " + mes);
      lancar(15, 1, "2001", 0, a_.Entre(20'000, 3'000'000), fim, "Diferencial de alíquota - uso e consumo " + mes);
      if (m % 2 == 0) lancar(4, 1, "2001", 0, a_.Entre(5'000, 400'000), fim, "Estorno de crédito - perdas " + mes);
      lancar(8, 1, "2001", 0, a_.Entre(10'000, 600'000), fim, "Dedução - ICMS antecipado " + mes);
      if (m % 3 == 0) lancar(10, 1, "2001", 0, a_.Entre(10'000, 200'000), fim, "Imposto a recolher - outros valores " + mes);
      int64_t id = lancar(13, 1, "2001", 5, 215'000, fim, "ICMS parcelado - parcela " + Dois(m) + "/12");
      aux.bind(1, id);
      aux.bind(2, "Parcelamento de débito declarado");
      aux.bind(3, "25/" + Dois(m % 12 + 1) + "/" + (m == 12 ? "2026" : "2025"));
      aux.bind(4, "2024/0456789");
      aux.exec();
      aux.reset();
      lancar(1, 3, "4019", 0, a_.Entre(10'000, 300'000), fim, "Ressarcimento ICMS-ST RJ " + mes);
      if (m % 3 == 0) lancar(15, 3, "4011", 0, a_.Entre(10'000, 200'000), fim, "Complemento ICMS-ST MG " + mes);
      obs.bind(1, fim);
      obs.bind(2, "Apuração de " + mes + " conferida com o SPED Fiscal.");
      obs.exec();
      obs.reset();
    }
  }

  banco::TBanco& db_;
  int64_t alvo_;
  int filiais_, porEmpresa_, meses_, nDias_ = 0;
  TAleatorio a_;
  TCalendario cal_;
  std::vector<int> pesosMunicipio_;
  std::vector<TCfop> cfops_;
  std::vector<size_t> primeiraLinha_, linhas_;
  TGrupoCfop grupos_[6];
  std::vector<std::string> ufParticipante_;
  int contMunicipios_ = 0;
  int64_t docsEntrada_ = 0, docsSaida_ = 0, itensEntrada_ = 0, itensSaida_ = 0, idDet_[2] = {0, 0};
  int64_t itensDebitoST_ = 0, itensCreditoST_ = 0, guias_ = 0, lancamentos_ = 0;
};

}  // namespace

void TResumo::Escrever(std::ostream& os, const TOpcoes& o) const {
  os << "  estabelecimentos      " << o.Filiais << " (" << (o.Filiais + o.FiliaisPorEmpresa - 1) / o.FiliaisPorEmpresa
     << " empresa(s)), " << o.Meses
     << " mês(es) de 2025\n"
     << "  municípios            " << Municipios << "\n"
     << "  CFOPs                 " << Cfops << "\n"
     << "  participantes         " << Participantes << "\n"
     << "  entradas (documentos) " << DocumentosEntrada << "  itens " << ItensEntrada << "\n"
     << "  saídas (documentos)   " << DocumentosSaida << "  itens " << ItensSaida << "\n"
     << "  itens com DEBITOST=1  " << ItensDebitoST << ", com CREDITOST=1 " << ItensCreditoST << "\n"
     << "  guias GNRE (MG)       " << GuiasGNRE << "\n"
     << "  lançamentos do usuário " << Lancamentos << "\n";
}

TResumo Gerar(banco::TBanco& db, const TOpcoes& o) {
  if (o.Itens < 100 || o.Filiais < 1 || o.Meses < 1 || o.Meses > 12 || o.Itens < 100 * o.Filiais)
    throw std::invalid_argument("Opções do gerador fora dos limites");
  TGerador g(db, o);
  g.Gerar();
  return g.Resumo();
}

}  // namespace gerador
