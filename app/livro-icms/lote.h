#pragma once
// One establishment of the batch: its run under a host of its own, what the run left, and the
// lines that carry that result from a worker process to the batch that started it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "forms/pedidoapuracao.h"
#include "host/base/moeda.h"
#include "host/interacao/interacaoroteirizada.h"

class TQDConnection;

// The batch's request as the command line gives it; a worker gets the same options.
struct TOpcoesLote {
  std::string Banco, Inicio, Fim, Impostos = "todos", Livros, Respostas;
  int64_t Empresa = 0;
  bool Contabilizar = false;
};

struct TFilialLote {
  int64_t Id = 0;
  std::string Nome;
  int64_t IdEmpresa = 0;
};

// What one establishment's run left: the tax due and the credit carried of each tax, in the order
// the run settled them, or the error that stopped it; the messages it showed. `Interrompido` when
// the database stayed locked by another program: no establishment after it can be settled either.
struct TResultadoFilial {
  TFilialLote Filial;
  bool Apurado = false;
  bool Interrompido = false;
  std::string Erro;
  int Resumos = 0;
  struct TImposto {
    std::string Codigo;
    Currency ARecolher, SaldoCredor;
  };
  std::vector<TImposto> Impostos;
  std::vector<std::string> Mensagens;
};

// The answers file of a batch: the lines before the first section answer every establishment; a
// section "[filial N]" holds the answers of establishment N alone, in place of those.
class TRespostasLote {
 public:
  explicit TRespostasLote(const std::string& arquivo);
  TInteracaoRoteirizada Para(int64_t idFilial) const;

 private:
  std::vector<std::string> comuns_;
  std::map<int64_t, std::vector<std::string>> secoes_;
};

// The establishments active in the interval, of one company or of all, by their trade names.
std::vector<TFilialLote> EstabelecimentosDoLote(TQDConnection& c, int64_t idEmpresa, TDateTime fim);

// Settles (and, with Livros, prints) one establishment exactly as `apurar` (`imprimir`) would
// alone: its own answers from the first, the policy of postponing small taxes asked again, its own
// host over the connection. Never throws: what stopped the run is the result's error.
TResultadoFilial ApurarFilialDoLote(TQDConnection& c, const TOpcoesLote& o, const TIntervalo& datas,
                                    const TRespostasLote& respostas, const TFilialLote& f);

// A result as the lines a worker writes ("R", "I", "M" fields separated by tabs, "F" at the end;
// tabs, line breaks and backslashes escaped), and the reading of one such line into `r`: true when
// it was the last line of the result.
std::string LinhasDoResultado(const TResultadoFilial& r);
bool LerLinhaDoResultado(const std::string& linha, TResultadoFilial& r);

// A text on one line of the worker protocol, and back.
std::string Escapar(const std::string& s);
std::string Desescapar(const std::string& s);
