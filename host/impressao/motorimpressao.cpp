#include "host/impressao/motorimpressao.h"

#include <stdexcept>
#include <utility>

#include "host/base/texto.h"
#include "host/impressao/saidapdf.h"
#include "host/impressao/saidatexto.h"
#include "host/impressao/substituicao.h"

namespace impressao {

TQDprint::TQDprint() = default;
TQDprint::~TQDprint() = default;

std::string TQDprint::NomeImpressora() const {
  if (!destino_.empty()) return destino_;
  std::string r;
  if (!arquivoPdf_.empty()) r = "Arquivo PDF: " + arquivoPdf_;
  if (!arquivoTexto_.empty()) r += (r.empty() ? "" : "; ") + ("Arquivo texto: " + arquivoTexto_);
  return r.empty() ? "Memória" : r;
}

void TQDprint::SetLinha(TLinha linha) {
  if (aberto_) throw std::logic_error("espaçamento de linhas alterado com a impressão aberta");
  linha_ = linha;
}

void TQDprint::SetLinhaDaPagina(TLinha linha) {
  if (!aberto_) throw std::logic_error("espaçamento de página sem impressão aberta");
  TPagina& p = paginas_.back();
  if (!p.Textos().empty()) throw std::logic_error("espaçamento alterado numa página já impressa");
  if (p.QteLinhas() == Linhas(linha)) return;
  p = TPagina(p.Numero(), Linhas(linha), p.QteColunas(), p.Concluir());
}

bool TQDprint::Abrir() {
  if (aberto_) throw std::logic_error("impressão já aberta");
  auto substituicao = std::make_unique<TSubstituicaoArquivos>();
  substituicao->SetDiario(std::exchange(diario_, {}), std::exchange(marca_, {}));
  std::unique_ptr<TSaidaTexto> texto;
  std::unique_ptr<TSaidaPdf> pdf;
  if (!arquivoTexto_.empty()) {
    texto = std::make_unique<TSaidaTexto>();
    if (!texto->Abrir(substituicao->Adicionar(arquivoTexto_))) return false;
  }
  if (!arquivoPdf_.empty()) {
    pdf = std::make_unique<TSaidaPdf>(papel_);
    if (!pdf->Abrir(substituicao->Adicionar(arquivoPdf_), informacoesPdf_)) return false;
  }
  texto_ = std::move(texto);
  pdf_ = std::move(pdf);
  substituicao_ = std::move(substituicao);
  paginas_.clear();
  pagina_ = 0;
  destino_.clear();
  aberto_ = true;
  IniciarPagina();
  return true;
}

void TQDprint::IniciarPagina() {
  paginas_.emplace_back(++pagina_, Linhas(linha_), TamanhoQteColunas(), std::move(grade_));
  if (auto evento = OnNewPage) evento(pagina_);
}

void TQDprint::EncerrarPagina() {
  if (auto evento = OnBeforeNewPage) evento();
  TPagina& p = paginas_.back();
  grade_ = p.Concluir();
  if (texto_) texto_->Pagina(p);
  if (pdf_) pdf_->Pagina(p);
}

void TQDprint::NovaPagina() {
  if (!aberto_) throw std::logic_error("nova página sem impressão aberta");
  EncerrarPagina();
  IniciarPagina();
}

bool TQDprint::Fechar() {
  if (!aberto_) throw std::logic_error("fechamento sem impressão aberta");
  try {
    EncerrarPagina();
    aberto_ = false;
    if (auto visualizar = OnVisualizar) {
      visualizando_ = true;
      std::optional<std::string> destino = visualizar(*this);  // (a throw ends in Cancelar)
      visualizando_ = false;
      if (!destino) {
        Cancelar();
        return false;
      }
      destino_ = *destino;
    }
    // Scratch files are named after their targets; the user knows the targets.
    auto concluir = [](auto& saida, const std::string& destino) {
      if (!saida) return;
      try {
        saida->Fechar();
      } catch (const std::exception& e) {
        throw std::runtime_error("Não foi possível gravar o arquivo " + destino + " (" + e.what() +
                                 "); nenhum arquivo de saída foi alterado.");
      }
    };
    concluir(texto_, arquivoTexto_);
    concluir(pdf_, arquivoPdf_);
    texto_.reset();
    pdf_.reset();
    if (auto evento = OnAfterPrint) evento();
    substituicao_->Colocar();
    if (auto confirmar = OnConfirmar) {
      try {
        PontoDeFalha("gravar o registro da impressão");
        confirmar();
      } catch (const std::exception& e) {
        try {
          substituicao_->Desfazer();
        } catch (const std::exception& d) {
          throw std::runtime_error(std::string("O registro da impressão não foi gravado (") + e.what() + "), e " +
                                   d.what() + ": esses arquivos têm um livro cujo registro não existe.");
        }
        throw;
      }
    }
    substituicao_->Concluir();
  } catch (...) {
    Cancelar();
    throw;
  }
  substituicao_.reset();
  return true;
}

void TQDprint::Salvar(const std::string& caminhoTexto, const std::string& caminhoPdf, TPapel papel) const {
  // Saved from the job's preview, the files join the job's own outputs: they take their targets'
  // place with them, under the job's journal, and go back out if the job's record fails.
  TSubstituicaoArquivos local;
  TSubstituicaoArquivos& substituicao = visualizando_ && substituicao_ ? *substituicao_ : local;
  auto falhou = [](const std::string& destino, const std::string& motivo) {
    return std::runtime_error("Não foi possível gravar o arquivo " + destino + " (" + motivo + ").");
  };
  if (!caminhoTexto.empty()) {
    TSaidaTexto texto;
    if (!texto.Abrir(substituicao.Adicionar(caminhoTexto))) throw falhou(caminhoTexto, "não pôde ser criado");
    for (const TPagina& p : paginas_) texto.Pagina(p);
    try {
      texto.Fechar();
    } catch (const std::exception& e) {
      throw falhou(caminhoTexto, e.what());
    }
  }
  if (!caminhoPdf.empty()) {
    TSaidaPdf pdf(papel);
    if (!pdf.Abrir(substituicao.Adicionar(caminhoPdf), informacoesPdf_)) throw falhou(caminhoPdf, "não pôde ser criado");
    for (const TPagina& p : paginas_) pdf.Pagina(p);
    try {
      pdf.Fechar();
    } catch (const std::exception& e) {
      throw falhou(caminhoPdf, e.what());
    }
  }
  if (&substituicao == &local) substituicao.Confirmar();
}

void TQDprint::Cancelar() {
  aberto_ = false;
  visualizando_ = false;
  texto_.reset();
  pdf_.reset();
  substituicao_.reset();  // removes the scratch files
}

void TQDprint::Escrever(int linha, int coluna, std::string texto, TFontes fontes) {
  if (!aberto_) throw std::logic_error("texto impresso sem impressão aberta");
  paginas_.back().Escrever(linha, coluna, std::move(texto), fontes);
}

void TQDprint::Imp(int linha, int coluna, std::string_view texto) {
  Escrever(linha, coluna, semAcento_ ? texto::SemAcento(texto) : std::string(texto), fonte_);
}

void TQDprint::ImpC(int linha, int coluna, std::string_view texto, TFontes fontes) {
  std::string t = semAcento_ ? texto::SemAcento(texto) : std::string(texto);
  if (coluna == 0) coluna = TamanhoQteColunas() / 2;
  const int inicio = coluna - static_cast<int>(texto::Tamanho(t) / 2);
  Escrever(linha, inicio, std::move(t), fontes);
}

}  // namespace impressao
