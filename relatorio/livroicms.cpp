// The ledger printing module: the run of one request, the print operations with their line and
// page control, the engine's page events (header, frame, footer), book numbering and the job
// record.
#include "relatorio/livroicms.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/banco/acesso.h"
#include "host/banco/bloqueio.h"
#include "host/banco/consulta.h"
#include "host/banco/formasrapidas.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/impressao/rodape.h"
#include "regimes/fabricaresumos.h"
#include "relatorio/layoutlivro.h"

using impressao::TFonte;
using impressao::TFontes;

namespace {
// The office of the footer, which is also the PDF's author.
constexpr const char* kSqlRodape = "SELECT NOMEFANTASIA, TELEFONE1 FROM CA06_USUARIO";
}  // namespace

TdmLivroICMS::TdmLivroICMS()
    : FApuracao(std::make_unique<TApuracao>(CriarResumo)), FPrn(std::make_unique<impressao::TQDprint>()) {
  FPrn->SetTitulo("Livro de ICMS");
  FPrn->OnNewPage = [this](int pagina) { prnLivroNewPage(pagina); };
  FPrn->OnBeforeNewPage = [this] { prnLivroBeforeNewPage(); };
  FPrn->OnAfterPrint = [this] { prnLivroAfterPrint(); };
  SetFormatoImpressao(impressao::TLinha::Oito);
}

TdmLivroICMS::~TdmLivroICMS() = default;

void TdmLivroICMS::SetFormatoImpressao(impressao::TLinha formato) {
  FFormatoImpressao = formato;
  FPrn->SetLinha(formato);
}

// --- Print operations -----------------------------------------------------------------------

void TdmLivroICMS::Imp(int linha, int coluna, const std::string& texto, int avancar, bool novaPagina) {
  if (FContinuacaoPendente && linha == FLinha) {
    ImprimirContinuacao();
    linha = FLinha;
  }
  FPrn->Imp(linha, coluna, texto);
  ControlarSaltoDeLinhaEPagina(avancar, novaPagina);
}

void TdmLivroICMS::ImpC(int, int coluna, const std::string& texto, int avancar, TFontes fontes) {
  FPrn->ImpC(FLinha, coluna, texto, fontes);
  FPrn->SetFonte(TFontes());  // back to the book's normal pitch
  ControlarSaltoDeLinhaEPagina(avancar, false);
}

void TdmLivroICMS::ImpQuebraLinha(int& linha, int colunaInicial, int colunaFinal, const std::string& texto,
                                  int avancar) {
  auto pedacos = texto::Pedacos(texto, static_cast<size_t>(colunaFinal - colunaInicial));
  for (size_t i = 0; i < pedacos.size(); ++i) {
    if (i > 0) ++linha;
    FPrn->Imp(linha, colunaInicial, pedacos[i]);
  }
  ControlarSaltoDeLinhaEPagina(avancar, false);
}

void TdmLivroICMS::ImpVertical(int linha, int coluna, const std::string& texto) {
  const std::u32string letras = texto::ParaU32(texto);
  for (size_t k = 0; k < letras.size(); ++k)
    FPrn->Imp(linha + static_cast<int>(k), coluna, texto::DeU32(letras.substr(k, 1)));
}

void TdmLivroICMS::ControlarSaltoDeLinhaEPagina(int linhas, bool forcar) {
  FLinha += linhas;
  if (FLinha > FPrn->TamanhoQteLinhas() - 7 || forcar) FPrn->NovaPagina();
}

TImprimirProc TdmLivroICMS::ProcImprimir() {
  // A summary's own texts move the line by themselves between their pieces: a piece that would
  // fall below the body (on the page's closing line) begins the next page and goes on under its
  // header instead.
  // A summary that asks for a page of its own begins there a part of its own, under the page
  // header alone.
  return [this](int linha, int coluna, const std::string& texto, int avancar, bool novaPagina) {
    if (novaPagina) FecharSecao();
    if (linha == FLinha && FLinha > FPrn->TamanhoQteLinhas() - 7) {
      FPrn->NovaPagina();
      linha = FLinha;
    }
    Imp(linha, coluna, texto, avancar, novaPagina);
  };
}

// --- The run ----------------------------------------------------------------------------------

bool TdmLivroICMS::Imprimir() {
  FPaginaInicial = FPagina;
  FUltimaPagina = 0;
  FEscritorioRodape.reset();
  FResumo = nullptr;
  FResumoNumerado = nullptr;
  FTermoPendente = TTermo::Nenhum;
  FecharSecao();
  FContinuando = false;

  // A role of the office server that may only read prints books that are not definitive, settled
  // in copies its session keeps (host/banco/acesso.h).
  if (FImpressaoDefinitiva)
    banco::ExigirGravacao(GUtilSistema->GetConnectionSistema(), FIdFilial, "a impressão definitiva do livro");
  banco::TGravacaoNaSessao sessao(GUtilSistema->GetConnectionSistema());
  // From the run's checks to the last page, the documents are read once (the registers of every
  // period and tax, the guides of the book).
  banco::TApuracaoEmCurso emCurso(GUtilSistema->GetConnectionSistema());
  TResumos& resumos = FApuracao->GetResumos();
  resumos.Clear();
  FApuracao->SetFilial(FIdFilial);
  FApuracao->SetDataInicio(FDataInicio);
  FApuracao->SetDataFim(FDataFim);
  FApuracao->SetContabilizar(FContabilizar);
  resumos.SetCalcularCIAP(FCalcularCIAP);
  resumos.SetSolicitarDadosAcessorios(FSolicitarDadosAcessorios);
  resumos.SetDataSetImpostos(FDataSetImpostos);
  FApuracao->SetDetalharCfopPorSufixo(FDetalharSufixoCfop);
  FApuracao->CalcularApuracao();
  if (OnApurado) OnApurado();

  const int quantidade = resumos.Count();
  if (quantidade == 0) return true;
  // The book numbering and the job record of a print are one write with its outputs: recorded
  // only when the whole book was written and put in place.
  TTransacao trabalho(GUtilSistema->GetConnectionSistema());
  if (FImpressaoDefinitiva) banco::ReservarNumeracao(GUtilSistema->GetConnectionSistema(), FIdFilial);
  RepararImpressoesInterrompidas();
  // Committed once the files are in place; a commit that fails puts the earlier files back.
  FPrn->OnConfirmar = [&trabalho] { trabalho.Confirmar(); };
  struct TSemConfirmar {
    impressao::TQDprint& prn;
    ~TSemConfirmar() { prn.OnConfirmar = nullptr; }
  } semConfirmar{*FPrn};
  try {
    for (int i = 0; i < quantidade; ++i) {
      FResumo = resumos.GetItem(i);
      const TDateTime inicio = FResumo->GetDataInicio(), fim = FResumo->GetDataFim();
      if (i == 0) FFimPeriodo = fim;
      FIdConfiguracaoLivro = QDInterface->ObterIdConfiguracaoLivro(FIdFilial, 5, inicio, fim, "ES02_CFG");

      const bool movimento =
          FResumo->GetCredito().GetRegistros().Count() + FResumo->GetDebito().GetRegistros().Count() > 0;
      const bool comRegistro = movimento || FImprimirSemMovimento;
      FTipoSessao = comRegistro ? tsEntradas : tsDebitos;

      if (i == 0 && FImpressaoDefinitiva) {
        // Chosen, checked and recorded under the write lock taken above.
        if (FNumeracaoAutomatica)
          QDInterface->ObterNumeracaoLivro(FIdFilial, FIdConfiguracaoLivro, inicio, "07", FLivro, FPagina);
        FPaginaInicial = FPagina;
        QDInterface->VerificarNumeracaoLivro(FIdFilial, "07", FLivro, FPagina, inicio, FFrenteVerso ? 2 : 1);
      }
      if (i == 0) {
        // The printer dialog comes first so that a cancelled dialog leaves no job open.
        if (!FPrn->Setup()) return false;
        // A definitive book that begins here opens with its term on page 1.
        if (FImpressaoDefinitiva && FPagina == 2) AbrirLivro(inicio);
        PrepararDiario();
        FPrn->SetInformacoesPdf(InformacoesPdf(resumos.GetItem(quantidade - 1)->GetDataFim()));
        if (!FPrn->Abrir()) return false;
      } else {
        if (FImpressaoDefinitiva && inicio > FFimPeriodo) {
          FFimPeriodo = fim;
          int32_t livro = 0, pagina = 0;
          QDInterface->ObterNumeracaoLivro(FIdFilial, FIdConfiguracaoLivro, inicio, "07", livro, pagina);
          if (livro != FLivro) {  // a new book restarts the numbering
            EncerrarLivro();
            FPagina = pagina;
            FLivro = livro;
            FPaginaInicial = FPagina;
            if (FPagina == 2) AbrirLivro(inicio);
          }
          QDInterface->VerificarNumeracaoLivro(FIdFilial, "07", FLivro, FPagina, inicio, FFrenteVerso ? 2 : 1);
        }
        if (comRegistro) FPrn->NovaPagina();
      }

      if (movimento)
        ImprimirRegistro();
      else if (FImprimirSemMovimento)
        ImprimirRegistroSemMovimento();

      FTipoSessao = tsDebitos;
      if (i > 0 || comRegistro) FPrn->NovaPagina();
      ImprimirResumo();

      if (FImpressaoDefinitiva) {
        QDInterface->GravarNumeracaoLivro(FIdFilial, FLivro, FPaginaInicial, FPagina, FIdConfiguracaoLivro, "07", inicio,
                                          FFrenteVerso ? 2 : 1);
        FResumoNumerado = FResumo;
        FConfiguracaoNumeracao = FIdConfiguracaoLivro;
      }
    }
    // A book filled by this print is closed at once: its closing term follows its last page.
    if (FImpressaoDefinitiva) {
      const int32_t paginas = QDInterface->ObterPaginasLivro(FIdConfiguracaoLivro);
      if (paginas > 0 && FPagina > paginas) EncerrarLivro();
    }
    // Closed from the preview without printing or saving: the book was not printed, so neither its
    // numbering nor the job is recorded.
    if (!FPrn->Fechar()) return false;
  } catch (...) {
    // Leave the engine ready for the next request; nothing of the job is written or recorded.
    if (FPrn->Aberto()) FPrn->Cancelar();
    throw;
  }
  return true;
}

// The archive's description of the book: the office that printed it (as its footer names it), the
// establishment and the periods it holds, and when.
impressao::TInformacoesPdf TdmLivroICMS::InformacoesPdf(TDateTime fim) {
  impressao::TInformacoesPdf i;
  const TFilial& f = FResumo->GetFilial();
  i.Titulo = "Livro Registro de Apuração do ICMS - modelo P9 - " +
             (FImpressaoDefinitiva ? "livro " + FormatarZeros(FLivro, 5) : std::string("impressão não definitiva"));
  TQDSQLQuery escritorio(GUtilSistema->GetConnectionSistema());
  escritorio.SetSQL(kSqlRodape);
  escritorio.Open();
  if (!escritorio.Eof()) i.Autor = escritorio.FieldByName("NOMEFANTASIA").AsString();
  escritorio.Close();
  i.Assunto = f.RazaoSocial + " (EMP= " + std::to_string(f.CodigoEmpresa) + "/ESTAB= " + std::to_string(f.CodigoFilial) +
              ", IE " + f.InscrEstadual + ") - " + DataBR(FResumo->GetDataInicio()) + " a " + DataBR(fim);
  i.Criador = "livro-icms";
  std::sscanf(DataHoraBR(FAgora()).c_str(), "%d/%d/%d %d:%d:%d", &i.Dia, &i.Mes, &i.Ano, &i.Hora, &i.Minuto, &i.Segundo);
  return i;
}

// --- Engine events ----------------------------------------------------------------------------

void TdmLivroICMS::prnLivroNewPage(int pagina) {
  FLinha = 2;
  FContinuacaoPendente = false;
  FPaginaDeTermo = false;
  if (FTermoPendente != TTermo::Nenhum) {
    // A book opens on the front of a sheet: printing on both sides, a back side stays blank.
    if (FTermoPendente == TTermo::Abertura && FFrenteVerso && pagina % 2 == 0) {
      PularPagina();
      return;
    }
    FUltimaPagina = pagina;
    ImprimirPaginaTermo();
    return;
  }
  if (pagina == 1 && FFrenteVerso && FImpressaoDefinitiva && GetEjetarPagina(FPagina)) {
    // The front of the first sheet stays blank; the header goes on the page begun now.
    PularPagina();
    return;
  }
  ImprimirCabecalhoPagina();
  ++FPagina;
  FUltimaPagina = pagina;
  FContinuacaoPendente = FSecaoAberta;
}

void TdmLivroICMS::FecharSecao() {
  FSecaoAberta = false;
  FContinuacaoPendente = false;
  FItemAberto.clear();
}

void TdmLivroICMS::ImprimirContinuacao() {
  FContinuacaoPendente = false;
  const std::vector<std::string> item = FItemAberto;
  FContinuando = true;
  ImprimirCabecalhoSessao();
  FContinuando = false;
  if (item.empty()) return;
  FItemAberto = item;
  std::string texto = item.front();
  const std::string marca = " (CONTINUAÇÃO)";
  if (texto::Tamanho(texto) + texto::Tamanho(marca) <= 96) texto += marca;
  Imp(FLinha, 2, Format(layoutlivro::kLinhaResumo, {texto, "", ""}), 1);
}

void TdmLivroICMS::ImprimirTracos() {
  if (FLinha == FLinhaCorpo) return;
  Imp(FLinha, 2, std::string(static_cast<size_t>(FPrn->TamanhoQteColunas() - 5), '-'), 1);
}

void TdmLivroICMS::PularPagina() {
  auto antes = std::move(FPrn->OnBeforeNewPage);
  FPrn->OnBeforeNewPage = nullptr;
  FPrn->NovaPagina();
  FPrn->OnBeforeNewPage = std::move(antes);
}

void TdmLivroICMS::prnLivroBeforeNewPage() {
  if (FPaginaDeTermo) return;  // a term page has no frame and no footer
  ImprimirQuadro();
  // Read once a job: the job's write lock keeps the office as it was on the first page.
  if (!FEscritorioRodape) {
    TQDSQLQuery qRodape(GUtilSistema->GetConnectionSistema());
    qRodape.SetSQL(kSqlRodape);
    qRodape.Open();
    FEscritorioRodape = impressao::EscritorioDoRodape(qRodape);
  }
  impressao::ImprimirRodape(*FPrn, *FEscritorioRodape, 160, TFontes{TFonte::Comprimido}, kModulo, FImprimirRodape,
                            FAgora(), FLinha);
}

// The frame is drawn last on a page, so it keeps clear of what is already printed: a text that
// reached the frame's place (an observation printed on the line where the page broke, a full
// 155-character piece touching the right border) stays readable instead of disappearing under it.
void TdmLivroICMS::ImprimirQuadro() {
  const int colunas = FPrn->TamanhoQteColunas();
  const int ultima = std::min<int>(FLinha, FPrn->TamanhoQteLinhas());
  const impressao::TPagina& pagina = FPrn->Paginas().back();
  auto livre = [&pagina](int linha, int coluna) { return pagina.Livre(linha, coluna); };
  for (int l = 1; l <= ultima; ++l) {
    if (livre(l, 1)) FPrn->Imp(l, 1, "|");
    if (livre(l, colunas - 3)) FPrn->Imp(l, colunas - 3, "|");
  }
  for (int l : {1, ultima}) {
    // Dashes around the text already on the line, one blank apart from it.
    int primeira = colunas, ultimaOcupada = 0;
    for (int c = 2; c <= colunas - 4; ++c)
      if (!livre(l, c)) {
        primeira = std::min(primeira, c);
        ultimaOcupada = c;
      }
    std::string tracos;
    for (int c = 2; c <= colunas - 4; ++c) tracos.push_back(c >= primeira - 1 && c <= ultimaOcupada + 1 ? ' ' : '-');
    FPrn->Imp(l, 2, tracos);  // its blanks leave the text under them alone
  }
  ++FLinha;
}

bool TdmLivroICMS::GetEjetarPagina(int32_t pagina) {
  if (pagina % 2 != 0) return false;
  return GUtilSistema->MostraMensagemSim("Está sendo realizada uma impressão frente e verso e a numeração da página inicial é ( " +
                                             std::to_string(pagina) + " ). " +
                                             "Deseja ejetar a folha e imprimir a página inicial no verso? ",
                                         6, "Confirmação");
}

// The job record: the "text setting" recorded is the engine's report title ("Livro de ICMS").
void TdmLivroICMS::prnLivroAfterPrint() {
  std::string impressora = FPrn->NomeImpressora();
  if (impressora.empty()) impressora = "Nenhuma impressora Padrão foi detectada";
  GFuncoes->SalvaPaginasImpressas(FResumo ? FResumo->GetFilial().IdFilial : FIdFilial, kModulo, FUltimaPagina,
                                  FImpressaoDefinitiva ? 1 : 2, FFrenteVerso ? 2 : 1, impressora, FPrn->Titulo(),
                                  static_cast<int32_t>(FPrn->Modelo()));
}
