#pragma once
// What the settlement needs of a client's EFD ICMS/IPI file: the establishment
// (0000, 0005), the accountant (0100), ST inscriptions in other states (0015), participants (0150),
// the documents of blocks C and D with their analytical lines per CST, CFOP and rate and their
// adjustments, and block E as the client settled it (E100/E110 with E111 and E116, E200/E210 with
// E220 and E250). Every other record is counted, by name, and left out.
//
// LerArquivoEFD checks the hierarchy as it reads (an analytical line needs its document, an
// adjustment of the settlement its period) and throws EArquivoEFD naming the line of the first
// fault; nothing is kept of a file that fails.
//
// The documents are what grows with a file (hundreds of thousands in a month of a large shop): a
// reader given a receptor hands each one on as soon as it is whole and keeps none, so that a file
// of any size is read in the memory of one document; everything else (establishment, participants,
// block E) is small and kept.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "efd/leitorefd.h"

namespace efd {

// C190, C590, C490, C850, C890, D190, D590, D730, D760: totals of a document per CST, CFOP and rate.
struct TAnaliticoEFD {
  int64_t Linha = 0;
  std::string Cst;   // "000", "060", "101" (Simples Nacional CSOSN)...
  std::string Cfop;  // four digits
  Currency Aliquota, ValorOperacao, BaseICMS, ICMS, BaseST, ICMSST, ReducaoBase, IPI;
};

// C197, C597, C857, C897, D197, D737: an adjustment of the tax of one document (code of 10 characters).
struct TAjusteDocumentoEFD {
  int64_t Linha = 0;
  std::string Registro, Codigo, Descricao;
  Currency ICMS;
};

struct TDocumentoEFD {
  int64_t Linha = 0;
  std::string Registro;  // C100, C500, D100, D500, D700, C405 (reduction Z of C400), C800, C860, D750
  bool Saida = false;
  bool EmissaoPropria = true;
  std::string Participante;  // COD_PART, "" for consumers
  std::string Modelo, Situacao = "00", Serie, Subserie, Chave;
  int64_t Numero = 0;
  TDateTime Emissao = 0;       // DT_DOC
  TDateTime EntradaSaida = 0;  // DT_E_S / DT_A_P, 0 when not given
  Currency ValorDocumento;
  std::vector<TAnaliticoEFD> Analiticos;
  std::vector<TAjusteDocumentoEFD> Ajustes;

  // The date that places the document in a period: DT_E_S or DT_A_P when given, else DT_DOC.
  TDateTime DataEscrituracao() const { return EntradaSaida != 0 ? EntradaSaida : Emissao; }
  // Cancelled, denied or unused numbers: nothing of them is counted.
  bool SemValor() const { return Situacao == "02" || Situacao == "03" || Situacao == "04" || Situacao == "05"; }
  // Documents of an earlier period written in this one (regular or complementary).
  bool Extemporaneo() const { return Situacao == "01" || Situacao == "07"; }
};

struct TParticipanteEFD {
  std::string Codigo, Nome, Pais, Cnpj, Cpf, IE, Municipio;
};

// E111, E220: adjustment of the settlement (code of 8 characters).
struct TAjusteApuracaoEFD {
  int64_t Linha = 0;
  std::string Codigo, Descricao;
  Currency Valor;
  // E112/E113 (E230/E240 under E220): the references of the adjustment as the file has them, from
  // the record name on ("E113|P001|55|1||1234|05012026||150,00|").
  std::vector<std::string> Referencias;
};

// E116, E250: tax paid or to be paid.
struct TObrigacaoEFD {
  std::string Codigo;  // COD_OR
  Currency Valor;
  TDateTime Vencimento = 0;
  std::string Receita;     // COD_REC
  std::string Referencia;  // MES_REF, mmaaaa
  // The record as a file had it, from its name on ("E116|090|120,00|...|"): written back as it was.
  std::string Linha;
};

// E110 fields 02..15 and E210 fields 02..15 by their number in the layout; the others stay 0.
using TCamposApuracao = std::array<Currency, 16>;

struct TApuracaoICMSEFD {
  int64_t Linha = 0;
  TDateTime Inicio = 0, Fim = 0;
  bool TemE110 = false;
  TCamposApuracao E110{};
  std::vector<TAjusteApuracaoEFD> Ajustes;
  std::vector<std::string> Declaracoes;  // E115, from the record name on
  std::vector<TObrigacaoEFD> Obrigacoes;
};

struct TApuracaoSTEFD {
  int64_t Linha = 0;
  std::string UF;
  TDateTime Inicio = 0, Fim = 0;
  bool TemE210 = false;
  bool ComMovimento = false;  // IND_MOV_ST = 1
  TCamposApuracao E210{};
  std::vector<TAjusteApuracaoEFD> Ajustes;
  std::vector<TObrigacaoEFD> Obrigacoes;
};

struct TEntidadeEFD {
  std::string Versao, Finalidade, Nome, Cnpj, Cpf, UF, IE, Municipio, IM, Perfil, Atividade;
  TDateTime Inicio = 0, Fim = 0;
  // 0005
  std::string Fantasia, Cep, Endereco, Numero, Complemento, Bairro, Fone, Fax;
};

struct TContabilistaEFD {
  std::string Nome, Cpf, Crc;
};

struct TInscricaoSTEFD {
  std::string UF, IE;
};

struct TArquivoEFD {
  std::string Nome;  // file name as given
  int64_t Linhas = 0;
  uint64_t Digesto = 0;  // of the lines read (TLeitorEFD::Digesto)
  TEntidadeEFD Entidade;
  std::optional<TContabilistaEFD> Contabilista;
  std::vector<TInscricaoSTEFD> InscricoesST;
  std::map<std::string, TParticipanteEFD> Participantes;  // by COD_PART
  std::vector<TDocumentoEFD> Documentos;  // only when read without a receptor
  std::vector<TApuracaoICMSEFD> ApuracoesICMS;
  std::vector<TApuracaoSTEFD> ApuracoesST;
  std::map<std::string, int64_t> Ignorados;  // records left out, by name, with their count
  int64_t ItensC170 = 0;                     // item lines read past (the analytical lines carry the totals)
};

// Names of the E110 and E210 fields by their number in the layout.
const char* NomeCampoE110(size_t campo);
const char* NomeCampoE210(size_t campo);

// Told each document once its analytical lines and adjustments are read: when the next document
// opens, or its block ends. A receptor that throws stops the reading.
using TReceptorDocumentos = std::function<void(const TDocumentoEFD&)>;

// The whole file, its documents in TArquivoEFD::Documentos.
TArquivoEFD LerArquivoEFD(const std::string& caminho, TLeitorEFD::TProgresso progresso = {});
TArquivoEFD LerArquivoEFD(std::istream& entrada, const std::string& nome, int64_t tamanho = 0,
                          TLeitorEFD::TProgresso progresso = {});
// The file into `arquivo`, each document handed to `receptor` and not kept. `arquivo` is filled as
// the reading goes: a receptor finds in it everything of the lines before the document's.
void LerArquivoEFD(std::istream& entrada, const std::string& nome, TArquivoEFD& arquivo,
                   const TReceptorDocumentos& receptor, int64_t tamanho = 0, TLeitorEFD::TProgresso progresso = {});
void LerArquivoEFD(const std::string& caminho, TArquivoEFD& arquivo, const TReceptorDocumentos& receptor,
                   TLeitorEFD::TProgresso progresso = {});

}  // namespace efd
