#pragma once
// The host's tax selection: a data set with one row per tax the ledger settles (CODIGO, DESCRICAO,
// MARCADO): regular ICMS "2001" and the ICMS-ST code of every state.
#include <memory>
#include <string>
#include <vector>

#include "host/banco/consulta.h"

class TQDConnection;

enum class TTipoImposto { ICMS, ICMSST };

class TFrameSelecionarImpostos {
 public:
  explicit TFrameSelecionarImpostos(TQDConnection& conexao);
  TQDClientDataSet& GetDataSet() { return ds_; }
  void MarcarTodos(bool marcar);
  void MarcarPorImposto(TTipoImposto tipo);
  // Marks exactly the codes given; throws std::invalid_argument naming an unknown code.
  void MarcarCodigos(const std::vector<std::string>& codigos);
  int QuantidadeMarcada();

 private:
  TQDClientDataSet ds_;
};
