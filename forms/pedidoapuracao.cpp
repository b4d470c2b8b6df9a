#include "forms/pedidoapuracao.h"

#include <sstream>

#include "apuracao/apuracao.h"
#include "host/banco/acesso.h"
#include "host/banco/bloqueio.h"
#include "host/banco/formasrapidas.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/servicos/selecaoimpostos.h"
#include "regimes/fabricaresumos.h"

TIntervalo ValidarDatas(const std::string& inicio, const std::string& fim) {
  TIntervalo r;
  if (!TentarLerData(texto::Aparar(inicio), r.Inicio) || !TentarLerData(texto::Aparar(fim), r.Fim))
    throw EPedidoInvalido("Data inválida.");
  if (r.Inicio > r.Fim) throw EPedidoInvalido("A data final deve ser maior que a data inicial.");
  return r;
}

void SelecionarImpostos(TFrameSelecionarImpostos& frame, const std::string& impostos) {
  std::string s = texto::Aparar(impostos);
  if (s.empty() || s == "todos") {
    frame.MarcarTodos(true);
  } else if (s == "icms") {
    frame.MarcarPorImposto(TTipoImposto::ICMS);
  } else if (s == "icms-st") {
    frame.MarcarPorImposto(TTipoImposto::ICMSST);
  } else {
    std::vector<std::string> codigos;
    std::stringstream ss(s);
    for (std::string c; std::getline(ss, c, ',');)
      if (!texto::Aparar(c).empty()) codigos.push_back(texto::Aparar(c));
    try {
      frame.MarcarCodigos(codigos);
    } catch (const std::invalid_argument& e) {
      throw EPedidoInvalido(e.what());
    }
  }
  if (frame.QuantidadeMarcada() == 0) frame.MarcarTodos(true);
}

TExecucaoApuracao::TExecucaoApuracao(TQDConnection& conexao, const TPedidoApuracao& pedido)
    : impostos_(std::make_unique<TFrameSelecionarImpostos>(conexao)), apuracao_(std::make_unique<TApuracao>(CriarResumo)) {
  TIntervalo datas = ValidarDatas(pedido.DataInicio, pedido.DataFim);
  try {
    apuracao_->SetFilial(pedido.IdFilial);
    idFilial_ = pedido.IdFilial;
  } catch (const std::runtime_error& e) {
    throw EPedidoInvalido(e.what());
  }
  SelecionarImpostos(*impostos_, pedido.Impostos);
  apuracao_->SetDataInicio(datas.Inicio);
  apuracao_->SetDataFim(datas.Fim);
  apuracao_->SetContabilizar(pedido.Contabilizar);
  apuracao_->SetDetalharCfopPorSufixo(pedido.DetalharSufixoCfop);
  TPeriodicidade p = GFuncoes->GetPeriodicidadeICMS(pedido.IdFilial, datas.Inicio);
  periodoUnico_ = GFuncoes->IncPeriodo(datas.Inicio, p) == datas.Fim;
  TResumos& rs = apuracao_->GetResumos();
  rs.SetCalcularCIAP(pedido.CalcularCIAP);
  rs.SetSolicitarDadosAcessorios(periodoUnico_);
  rs.SetDataSetImpostos(&impostos_->GetDataSet());
}

TExecucaoApuracao::~TExecucaoApuracao() = default;

void TExecucaoApuracao::Calcular() {
  // The run reads its documents once and answers every register of its periods from that reading.
  banco::ExigirGravacao(GUtilSistema->GetConnectionSistema(), idFilial_, "a apuração");
  banco::TBloqueioEstabelecimento bloqueio(GUtilSistema->GetConnectionSistema(), idFilial_);
  banco::TApuracaoEmCurso emCurso(GUtilSistema->GetConnectionSistema());
  apuracao_->GetResumos().Clear();
  apuracao_->CalcularApuracao();
}
