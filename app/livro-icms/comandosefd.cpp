#include "app/livro-icms/comandosefd.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "host/banco/motor.h"

#include "app/livro-icms/progresso.h"
#include "efd/arquivoefd.h"
#include "efd/blocoe.h"
#include "efd/conferenciaefd.h"
#include "efd/importacaoefd.h"
#include "forms/pedidoapuracao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"

namespace fs = std::filesystem;

namespace {

TDateTime LerData(const std::string& texto, const char* opcao) {
  TDateTime d = 0;
  if (!TentarLerData(texto, d)) throw std::runtime_error(std::string("Data inválida em ") + opcao + ": " + texto);
  return d;
}

// The file read and loaded as it is read; `lido` keeps all of it but the documents.
efd::TResumoImportacao Importar(TQDConnection& conexao, const std::string& caminho, efd::TArquivoEFD& lido) {
  TBarraProgresso barra("Importando " + fs::path(caminho).filename().string());
  return efd::TImportacaoEFD(conexao, [&](int64_t lidos, int64_t total) { barra.Atualizar(lidos, total); })
      .ImportarArquivo(caminho, lido);
}

// A scratch copy of the office's database, removed with its journal files at the end. The office's
// file is only read.
class TCopiaTemporaria {
 public:
  explicit TCopiaTemporaria(const std::string& original) {
    caminho_ = (fs::temp_directory_path() / ("livro-icms-conferir-" + std::to_string(getpid()) + ".db")).string();
    Remover();
    if (original.empty() || !fs::exists(original)) {
      TQDConnection::Criar(caminho_);
      return;
    }
    try {
      banco::TBanco origem(original, banco::kLeitura);
      origem.exec("VACUUM INTO " + texto::QuotedStr(caminho_));
    } catch (const banco::EMotor& e) {
      throw EBancoDados("Não foi possível copiar o banco " + original + " para a conferência: " + e.what());
    }
  }
  ~TCopiaTemporaria() { Remover(); }
  TCopiaTemporaria(const TCopiaTemporaria&) = delete;
  TCopiaTemporaria& operator=(const TCopiaTemporaria&) = delete;
  const std::string& Caminho() const { return caminho_; }

 private:
  std::string caminho_;
  void Remover() {
    std::error_code ec;
    for (const char* sufixo : {"", "-wal", "-shm"}) fs::remove(caminho_ + sufixo, ec);
  }
};

}  // namespace

TComandosEFD::TComandosEFD(CLI::App& app) {
  auto* efd = app.add_subcommand("efd", "Arquivo EFD ICMS/IPI do cliente: importa, gera o bloco E e confere a apuração.");
  efd->require_subcommand(1);

  importar_ = efd->add_subcommand("importar",
                                  "Importa o arquivo EFD do cliente: estabelecimento, participantes, documentos e ajustes "
                                  "(cria o banco quando não existe).");
  importar_->add_option("--db", banco_, "Arquivo do banco de dados.")->required();
  importar_->add_option("arquivo", arquivo_, "Arquivo EFD ICMS/IPI (texto do leiaute oficial).")->required();

  exportar_ = efd->add_subcommand("exportar", "Grava o bloco E (E001 a E990) com a apuração gravada no banco.");
  exportar_->add_option("--db", banco_, "Arquivo do banco de dados.")->required();
  exportar_->add_option("--filial", idFilial_, "Código (IDFILIAL) do estabelecimento.")->required();
  exportar_->add_option("--inicio", inicio_, "Data inicial (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  exportar_->add_option("--fim", fim_, "Data final (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  exportar_->add_option("--saida", saida_, "Arquivo do bloco E a gravar (texto Latin-1).")->required();

  conferir_ = efd->add_subcommand("conferir",
                                  "Importa o arquivo numa cópia do banco, apura o período e compara o E110 (e os E210) "
                                  "do cliente com a apuração do livro, campo a campo.");
  conferir_->add_option("--db", banco_, "Arquivo do banco de dados (só lido; sem ele, um banco vazio).");
  conferir_->add_option("arquivo", arquivo_, "Arquivo EFD ICMS/IPI do cliente.")->required();
  conferir_->add_option("--respostas", respostas_,
                        "Arquivo de respostas às perguntas da apuração (sem ele, as respostas padrão).");
}

bool TComandosEFD::Executar(int& codigo) {
  if (importar_->parsed()) codigo = Importar();
  else if (exportar_->parsed()) codigo = Exportar();
  else if (conferir_->parsed()) codigo = Conferir();
  else return false;
  return true;
}

int TComandosEFD::Importar() {
  if (!fs::is_regular_file(arquivo_)) throw efd::EArquivoEFD("Não foi possível abrir o arquivo " + arquivo_, 0, "");
  const bool novo = !fs::exists(banco_);
  auto conexao = novo ? TQDConnection::Criar(banco_) : TQDConnection::Abrir(banco_);
  efd::TArquivoEFD arquivo;
  efd::TResumoImportacao r;
  try {
    r = ::Importar(*conexao, arquivo_, arquivo);
  } catch (...) {
    // A refused file leaves no database behind that the import alone created.
    if (novo) {
      conexao.reset();
      std::error_code ec;
      for (const char* sufixo : {"", "-wal", "-shm"}) fs::remove(banco_ + sufixo, ec);
    }
    throw;
  }
  if (novo) std::cout << "Banco criado: " << banco_ << "\n";
  std::cout << "Arquivo " << arquivo.Nome << " importado (" << arquivo.Linhas << " linhas).\n" << r.Texto();
  return 0;
}

int TComandosEFD::Exportar() {
  auto conexao = TQDConnection::Abrir(banco_);
  const efd::TBlocoE bloco =
      efd::MontarBlocoE(*conexao, idFilial_, LerData(inicio_, "--inicio"), LerData(fim_, "--fim"));
  efd::GravarBlocoE(bloco, saida_);
  for (const auto& a : bloco.Avisos) std::cout << "Aviso: " << a << "\n";
  std::cout << "Bloco E gravado: " << saida_ << " (" << bloco.ICMS.size() << " período(s) de ICMS, " << bloco.ST.size()
            << " de ICMS-ST)\n";
  return 0;
}

int TComandosEFD::Conferir() {
  if (!fs::is_regular_file(arquivo_)) throw efd::EArquivoEFD("Não foi possível abrir o arquivo " + arquivo_, 0, "");
  TCopiaTemporaria copia(banco_);
  auto conexao = TQDConnection::Abrir(copia.Caminho());
  efd::TArquivoEFD arquivo;
  const efd::TResumoImportacao r = ::Importar(*conexao, arquivo_, arquivo);
  std::cout << "Arquivo " << arquivo.Nome << " importado numa cópia do banco.\n" << r.Texto() << "\n";

  TInteracaoRoteirizada interacao =
      respostas_.empty() ? TInteracaoRoteirizada() : TInteracaoRoteirizada::DeArquivo(respostas_);
  THost host(*conexao, interacao);
  TPedidoApuracao pedido;
  pedido.IdFilial = r.IdFilial;
  pedido.DataInicio = DataBR(r.Inicio);
  pedido.DataFim = DataBR(r.Fim);
  TExecucaoApuracao(*conexao, pedido).Calcular();
  for (const auto& m : interacao.Registro()) std::cout << "Apuração: " << m << "\n";

  const efd::TBlocoE nosso = efd::MontarBlocoE(*conexao, r.IdFilial, r.Inicio, r.Fim);
  const efd::TConferencia c = efd::ConferirBlocoE(arquivo, nosso);
  std::cout << c.Texto;
  return c.Diferencas == 0 ? 0 : 4;
}
