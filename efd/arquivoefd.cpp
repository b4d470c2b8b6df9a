#include "efd/arquivoefd.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "host/base/formatacao.h"

namespace efd {

namespace {

const char* const kCamposE110[] = {"", "REG", "VL_TOT_DEBITOS", "VL_AJ_DEBITOS", "VL_TOT_AJ_DEBITOS",
                                   "VL_ESTORNOS_CRED", "VL_TOT_CREDITOS", "VL_AJ_CREDITOS", "VL_TOT_AJ_CREDITOS",
                                   "VL_ESTORNOS_DEB", "VL_SLD_CREDOR_ANT", "VL_SLD_APURADO", "VL_TOT_DED",
                                   "VL_ICMS_RECOLHER", "VL_SLD_CREDOR_TRANSPORTAR", "DEB_ESP"};
const char* const kCamposE210[] = {"", "REG", "IND_MOV_ST", "VL_SLD_CRED_ANT_ST", "VL_DEVOL_ST", "VL_RESSARC_ST",
                                   "VL_OUT_CRED_ST", "VL_AJ_CREDITOS_ST", "VL_RETENCAO_ST", "VL_OUT_DEB_ST",
                                   "VL_AJ_DEBITOS_ST", "VL_SLD_DEV_ANT_ST", "VL_DEDUCOES_ST", "VL_ICMS_RECOL_ST",
                                   "VL_SLD_CRED_ST_TRANSPORTAR", "DEB_ESP_ST"};


// Opening and closing records of the blocks, and the file's own counters: structure, not content.
bool Estrutural(const std::string& reg) {
  if (reg == "0000" || reg == "9999" || reg == "9900") return true;
  return reg.compare(1, 3, "001") == 0 || reg.compare(1, 3, "990") == 0;
}

// Field positions of the analytical lines that share one layout: CST, CFOP, rate, operation value,
// ICMS base, ICMS, then by record ST base, ST tax, base reduction and IPI (0 = not in the record).
struct TLayoutAnalitico {
  size_t BaseST, ICMSST, Reducao, IPI;
};

const std::map<std::string, std::pair<std::string, TLayoutAnalitico>>& Analiticos() {
  static const std::map<std::string, std::pair<std::string, TLayoutAnalitico>> m = {
      {"C190", {"C100", {8, 9, 10, 11}}}, {"C590", {"C500", {8, 9, 10, 0}}}, {"C490", {"C405", {0, 0, 0, 0}}},
      {"C850", {"C800", {0, 0, 0, 0}}},   {"C890", {"C860", {0, 0, 0, 0}}}, {"D190", {"D100", {0, 0, 8, 0}}},
      {"D590", {"D500", {0, 0, 10, 0}}},  {"D730", {"D700", {0, 0, 8, 0}}}, {"D760", {"D750", {0, 0, 8, 0}}},
  };
  return m;
}

// Document adjustments, by the record of the document they belong to.
const std::map<std::string, std::string>& Ajustes() {
  static const std::map<std::string, std::string> m = {
      {"C197", "C100"}, {"C597", "C500"}, {"C857", "C800"}, {"C897", "C860"}, {"D197", "D100"}, {"D737", "D700"}};
  return m;
}

class TInterpretacao {
 public:
  TInterpretacao(TArquivoEFD& a, const TReceptorDocumentos& receptor) : a_(a), receptor_(receptor) {}

  void Registro(const TRegistroEFD& r) {
    const std::string& reg = r.Reg();
    if (a_.Linhas == 0 && reg != "0000") r.Falhar("o arquivo deve começar pelo registro 0000");
    Contar(r);
    if (reg.compare(1, 3, "990") == 0) return Entregar();
    if (reg == "0000") return Abertura(r);
    if (reg == "0005") return Complemento(r);
    if (reg == "0015") return InscricaoST(r);
    if (reg == "0100") return Contabilista(r);
    if (reg == "0150") return Participante(r);
    if (reg == "C100" || reg == "C500" || reg == "D100" || reg == "D500" || reg == "D700") return Documento(r);
    if (reg == "C400") return Equipamento(r);
    if (reg == "C405" || reg == "C800" || reg == "C860" || reg == "D750") return Cupons(r);
    if (auto it = Analiticos().find(reg); it != Analiticos().end()) return Analitico(r, it->second.first, it->second.second);
    if (auto it = Ajustes().find(reg); it != Ajustes().end()) return AjusteDocumento(r, it->second);
    if (reg == "E100") return PeriodoICMS(r);
    if (reg == "E110") return ApuracaoICMS(r);
    if (reg == "E111") return AjusteApuracao(r, IcmsAtual(r).Ajustes);
    if (reg == "E112" || reg == "E113") return Referencia(r, IcmsAtual(r).Ajustes, "E111");
    if (reg == "E115") return IcmsAtual(r).Declaracoes.push_back(DoNome(r));
    if (reg == "E116") return Obrigacao(r, IcmsAtual(r).Obrigacoes);
    if (reg == "E200") return PeriodoST(r);
    if (reg == "E210") return ApuracaoST(r);
    if (reg == "E220") return AjusteApuracao(r, StAtual(r).Ajustes);
    if (reg == "E230" || reg == "E240") return Referencia(r, StAtual(r).Ajustes, "E220");
    if (reg == "E250") return Obrigacao(r, StAtual(r).Obrigacoes);
    if (reg == "C170") {
      ++a_.ItensC170;
      return;
    }
    // the observations the document adjustments hang from
    if (reg == "C195" || reg == "C595" || reg == "C855" || reg == "C895" || reg == "D195" || reg == "D735") return;
    if (!Estrutural(reg)) ++a_.Ignorados[reg];
  }

  // The document read so far is whole: to the receptor, or kept.
  void Entregar() {
    if (!atual_) return;
    if (receptor_) receptor_(*atual_);
    else a_.Documentos.push_back(std::move(*atual_));
    atual_.reset();
  }

 private:
  TArquivoEFD& a_;
  const TReceptorDocumentos& receptor_;
  // The document being read, until the next one opens or its block ends.
  std::optional<TDocumentoEFD> atual_;
  std::string familia_;   // record that opened the current document or period
  std::string caixa_, modeloCaixa_;  // C400 of the reductions below it
  bool temAbertura_ = false;
  // Counts (Contar)
  int64_t linhas_ = 0, linhasBloco_ = 0;
  char bloco_ = 0;
  bool blocoAberto_ = false;
  std::set<char> blocos_;
  std::map<std::string, int64_t> contagem_;
  std::map<std::string, std::pair<int64_t, TRegistroEFD>> quantidades_;  // 9900 by the record it counts
  TRegistroEFD encerramento9_;
  // Analytical lines of the current document by CST, CFOP and rate: the layout makes them unique.
  std::map<std::string, int64_t> chavesAnaliticas_;

  // The file's own counts: each block between its X001 and X990 (block 0 from 0000), X990 the lines
  // of its block, 9900 the lines of each record, 9990 those of block 9 with 9999, 9999 the file's.
  // A line lost or added anywhere shows in one of them.
  void Contar(const TRegistroEFD& r) {
    const std::string& reg = r.Reg();
    ++linhas_;
    ++contagem_[reg];
    if (reg == "9999") return Encerramento(r);
    const char bloco = reg[0];
    if (reg == "0000" || reg.compare(1, 3, "001") == 0) {
      if (reg != "0001" || bloco_ != '0') {
        if (blocoAberto_) r.Falhar("bloco " + std::string(1, bloco_) + " sem o registro de encerramento " + bloco_ + "990");
        if (!blocos_.insert(bloco).second) r.Falhar("bloco " + std::string(1, bloco) + " aberto mais de uma vez");
        bloco_ = bloco;
        blocoAberto_ = true;
        linhasBloco_ = 0;
      }
    } else if (!blocoAberto_ || bloco != bloco_) {
      r.Falhar("registro " + reg + " fora do bloco " + std::string(1, bloco) + " (sem o registro " + bloco + "001 antes dele" +
               (blocoAberto_ ? " ou sem o " + std::string(1, bloco_) + "990 do bloco anterior" : "") + ")");
    }
    ++linhasBloco_;
    if (reg == "9900") {
      r.ExigirCampos(3);
      const std::string& contado = r.Texto(2);
      if (!quantidades_.emplace(contado, std::make_pair(r.Inteiro(3, "QTD_REG_BLC"), r)).second)
        r.Falhar(2, "REG_BLC", "registro " + Trecho(contado) + " totalizado em mais de um registro 9900");
    } else if (reg.compare(1, 3, "990") == 0) {
      r.ExigirCampos(2);
      // 9990 counts the 9999 that follows it.
      const int64_t esperado = linhasBloco_ + (reg == "9990" ? 1 : 0);
      const int64_t informado = r.Inteiro(2, "QTD_LIN");
      if (informado != esperado)
        r.Falhar(2, "QTD_LIN", "o registro informa " + std::to_string(informado) + " linhas no bloco " + bloco + "; há " +
                                   std::to_string(esperado) + " (linhas perdidas ou acrescentadas)");
      blocoAberto_ = false;
      if (reg == "9990") encerramento9_ = r;
    }
  }

  void Encerramento(const TRegistroEFD& r) {
    r.ExigirCampos(2);
    const int64_t informado = r.Inteiro(2, "QTD_LIN");
    if (informado != linhas_)
      r.Falhar(2, "QTD_LIN", "o registro informa " + std::to_string(informado) + " linhas no arquivo; há " +
                                 std::to_string(linhas_) + " (arquivo cortado ou com linhas acrescentadas)");
    if (blocoAberto_ || encerramento9_.Quantidade() == 0)
      r.Falhar("o arquivo termina sem o bloco 9 completo (9001, 9900, 9990) antes do 9999");
    for (const auto& [contado, q] : quantidades_) {
      const auto it = contagem_.find(contado);
      const int64_t real = it == contagem_.end() ? 0 : it->second;
      if (real != q.first)
        q.second.Falhar(3, "QTD_REG_BLC", "o registro informa " + std::to_string(q.first) + " registros " +
                                              Trecho(contado) + "; o arquivo tem " + std::to_string(real));
    }
    for (const auto& [contado, n] : contagem_)
      if (!quantidades_.count(contado))
        encerramento9_.Falhar("o arquivo tem " + std::to_string(n) + " registro(s) " + contado +
                              " sem a linha 9900 que os totaliza");
  }

  void Abertura(const TRegistroEFD& r) {
    if (temAbertura_) r.Falhar("o arquivo tem mais de um registro 0000");
    temAbertura_ = true;
    r.ExigirCampos(15);
    auto& e = a_.Entidade;
    e.Versao = r.Texto(2);
    e.Finalidade = r.Texto(3);
    e.Inicio = r.Data(4, "DT_INI");
    e.Fim = r.Data(5, "DT_FIN");
    e.Nome = r.Texto(6);
    e.Cnpj = r.Texto(7);
    e.Cpf = r.Texto(8);
    e.UF = r.Texto(9);
    e.IE = r.Texto(10);
    e.Municipio = r.Texto(11);
    e.IM = r.Texto(12);
    e.Perfil = r.Texto(14);
    e.Atividade = r.Texto(15);
    if (e.Inicio == 0 || e.Fim == 0 || e.Fim < e.Inicio) r.Falhar(4, "DT_INI", "período do arquivo inválido");
    const TDataPartes ini = DecodeDate(e.Inicio), fim = DecodeDate(e.Fim);
    if (ini.dia != 1) r.Falhar(4, "DT_INI", "o período do arquivo deve começar no primeiro dia do mês");
    if (fim.ano != ini.ano || fim.mes != ini.mes) r.Falhar(5, "DT_FIN", "o período do arquivo deve terminar no mesmo mês de DT_INI");
    if (e.Cnpj.empty() && e.Cpf.empty()) r.Falhar(7, "CNPJ", "o estabelecimento não tem CNPJ nem CPF");
    if (e.UF.size() != 2) r.Falhar(9, "UF", "UF inválida \"" + Trecho(e.UF) + "\"");
  }

  void Complemento(const TRegistroEFD& r) {
    r.ExigirCampos(9);
    auto& e = a_.Entidade;
    e.Fantasia = r.Texto(2);
    e.Cep = r.Texto(3);
    e.Endereco = r.Texto(4);
    e.Numero = r.Texto(5);
    e.Complemento = r.Texto(6);
    e.Bairro = r.Texto(7);
    e.Fone = r.Texto(8);
    e.Fax = r.Texto(9);
  }

  void InscricaoST(const TRegistroEFD& r) {
    r.ExigirCampos(3);
    a_.InscricoesST.push_back({r.Texto(2), r.Texto(3)});
  }

  void Contabilista(const TRegistroEFD& r) {
    r.ExigirCampos(4);
    a_.Contabilista = TContabilistaEFD{r.Texto(2), r.Texto(3), r.Texto(4)};
  }

  void Participante(const TRegistroEFD& r) {
    r.ExigirCampos(8);
    TParticipanteEFD p{r.Texto(2), r.Texto(3), r.Texto(4), r.Texto(5), r.Texto(6), r.Texto(7), r.Texto(8)};
    if (p.Codigo.empty()) r.Falhar(2, "COD_PART", "participante sem código");
    if (a_.Participantes.count(p.Codigo))
      r.Falhar(2, "COD_PART", "participante \"" + Trecho(p.Codigo) + "\" informado mais de uma vez no registro 0150");
    a_.Participantes[p.Codigo] = std::move(p);
  }

  // C100, C500, D100, D500 and D700 (NFCom) open a document with the same first fields; the rest
  // sits at positions of their own.
  void Documento(const TRegistroEFD& r) {
    Entregar();
    const std::string& reg = r.Reg();
    TDocumentoEFD d;
    d.Linha = r.Linha();
    d.Registro = reg;
    const std::string& oper = r.Texto(2);
    if (oper != "0" && oper != "1") r.Falhar(2, "IND_OPER", "indicador de operação inválido \"" + Trecho(oper) + "\"");
    d.Saida = oper == "1";
    d.EmissaoPropria = r.Texto(3) == "0";
    d.Participante = r.Texto(4);
    d.Modelo = r.Texto(5);
    d.Situacao = r.Texto(6);
    d.Serie = r.Texto(7);
    if (d.Situacao.size() != 2) r.Falhar(6, "COD_SIT", "situação do documento inválida \"" + Trecho(d.Situacao) + "\"");
    size_t num, emissao, es, valor;
    if (reg == "C100") {
      num = 8, emissao = 10, es = 11, valor = 12;
      d.Chave = r.Texto(9);
    } else if (reg == "C500") {
      num = 10, emissao = 11, es = 12, valor = 13;
      d.Subserie = r.Texto(8);
    } else if (reg == "D100") {
      num = 9, emissao = 11, es = 12, valor = 15;
      d.Subserie = r.Texto(8);
      d.Chave = r.Texto(10);
    } else if (reg == "D500") {
      num = 9, emissao = 10, es = 11, valor = 12;
      d.Subserie = r.Texto(8);
    } else {  // D700
      num = 8, emissao = 9, es = 10, valor = 11;
      d.Chave = r.Texto(22);
    }
    r.ExigirCampos(valor);
    // the date of entry or exit, or of acquisition or provision of the service
    const char* nomeES = reg == "D100" || reg == "D500" ? "DT_A_P" : "DT_E_S";
    d.Numero = r.Inteiro(num, "NUM_DOC");
    d.Emissao = r.Data(emissao, "DT_DOC");
    d.EntradaSaida = r.Data(es, nomeES);
    d.ValorDocumento = d.SemValor() ? r.ValorOpcional(valor, "VL_DOC") : r.Valor(valor, "VL_DOC");
    if (!d.SemValor()) {
      if (d.Emissao == 0) r.Falhar(emissao, "DT_DOC", "documento sem data de emissão");
      NoPeriodo(r, d, d.EntradaSaida != 0 ? es : emissao, d.EntradaSaida != 0 ? nomeES : "DT_DOC");
      if (!d.Participante.empty() && !a_.Participantes.count(d.Participante))
        r.Falhar(4, "COD_PART", "participante \"" + Trecho(d.Participante) + "\" não informado no registro 0150");
    }
    atual_ = std::move(d);
    familia_ = reg;
    chavesAnaliticas_.clear();
  }

  // The date that places a document in a period lies in the file's period; only a document of an
  // earlier period written in this one (COD_SIT 01, 07) may be dated before it.
  void NoPeriodo(const TRegistroEFD& r, const TDocumentoEFD& d, size_t campo, const char* nome) const {
    const TDateTime data = d.DataEscrituracao();
    const TEntidadeEFD& e = a_.Entidade;
    if (data > e.Fim || (data < e.Inicio && !d.Extemporaneo()))
      r.Falhar(campo, nome, "data " + DataBR(data) + " fora do período do arquivo (" + DataBR(e.Inicio) + " a " +
                                DataBR(e.Fim) + ")");
  }

  void Equipamento(const TRegistroEFD& r) {
    Entregar();
    r.ExigirCampos(5);
    modeloCaixa_ = r.Texto(2);
    caixa_ = r.Texto(5);
    familia_ = "C400";
  }

  // Coupons: a reduction Z of a fiscal printer (C405 under C400), a CF-e SAT (C800), the day's
  // summary of a SAT equipment (C860) or the consolidation of a day's NFCom of one series (D750, no
  // number of its own) each become one exit document to consumers.
  void Cupons(const TRegistroEFD& r) {
    Entregar();
    const std::string& reg = r.Reg();
    TDocumentoEFD d;
    d.Linha = r.Linha();
    d.Registro = reg;
    d.Saida = true;
    if (reg == "C405") {
      if (familia_ != "C400" && familia_ != "C405") r.Falhar("redução Z (C405) fora de um equipamento (C400)");
      r.ExigirCampos(7);
      d.Modelo = modeloCaixa_;
      d.Serie = caixa_;
      d.Emissao = r.Data(2, "DT_DOC");
      d.Numero = r.Inteiro(4, "CRZ");
      d.ValorDocumento = r.Valor(7, "VL_BRT");
      NoPeriodo(r, d, 2, "DT_DOC");
    } else if (reg == "C800") {
      r.ExigirCampos(6);
      d.Modelo = r.Texto(2);
      d.Situacao = r.Texto(3);
      d.Numero = r.Inteiro(4, "NUM_CFE");
      d.Emissao = r.Data(5, "DT_DOC");
      d.ValorDocumento = r.Valor(6, "VL_CFE");
      if (d.Situacao.size() != 2) r.Falhar(3, "COD_SIT", "situação do documento inválida \"" + Trecho(d.Situacao) + "\"");
    } else if (reg == "C860") {
      r.ExigirCampos(6);
      d.Modelo = r.Texto(2);
      d.Serie = r.Texto(3);
      d.Emissao = r.Data(4, "DT_DOC");
      d.Numero = r.Inteiro(5, "DOC_INI");
      NoPeriodo(r, d, 4, "DT_DOC");
    } else {  // D750
      r.ExigirCampos(7);
      d.Modelo = r.Texto(2);
      d.Serie = r.Texto(3);
      d.Emissao = r.Data(4, "DT_DOC");
      d.ValorDocumento = r.Valor(7, "VL_DOC");
      NoPeriodo(r, d, 4, "DT_DOC");
    }
    if (d.Emissao == 0 && !d.SemValor()) r.Falhar("documento sem data");
    atual_ = std::move(d);
    familia_ = reg;
    chavesAnaliticas_.clear();
  }

  TDocumentoEFD& DocumentoAtual(const TRegistroEFD& r, const std::string& pai) {
    if (familia_ != pai || !atual_) r.Falhar("registro " + r.Reg() + " fora de um documento (" + pai + ")");
    return *atual_;
  }

  void Analitico(const TRegistroEFD& r, const std::string& pai, const TLayoutAnalitico& l) {
    TDocumentoEFD& d = DocumentoAtual(r, pai);
    r.ExigirCampos(std::max<size_t>({7, l.BaseST, l.ICMSST, l.Reducao, l.IPI}));
    TAnaliticoEFD a;
    a.Linha = r.Linha();
    a.Cst = r.Texto(2);
    a.Cfop = r.Texto(3);
    if (a.Cfop.size() != 4 || a.Cfop.find_first_not_of("0123456789") != std::string::npos ||
        (a.Cfop[0] != '1' && a.Cfop[0] != '2' && a.Cfop[0] != '3' && a.Cfop[0] != '5' && a.Cfop[0] != '6' &&
         a.Cfop[0] != '7'))
      r.Falhar(3, "CFOP", "CFOP inválido \"" + Trecho(a.Cfop) + "\"");
    if (d.Saida != (a.Cfop[0] >= '5'))
      r.Falhar(3, "CFOP", "CFOP " + a.Cfop + (d.Saida ? " de entrada num documento de saída" : " de saída num documento de entrada"));
    a.Aliquota = r.ValorOpcional(4, "ALIQ_ICMS");
    a.ValorOperacao = r.Valor(5, "VL_OPR");
    a.BaseICMS = r.Valor(6, "VL_BC_ICMS");
    a.ICMS = r.Valor(7, "VL_ICMS");
    if (l.BaseST) a.BaseST = r.Valor(l.BaseST, "VL_BC_ICMS_ST");
    if (l.ICMSST) a.ICMSST = r.Valor(l.ICMSST, "VL_ICMS_ST");
    if (l.Reducao) a.ReducaoBase = r.Valor(l.Reducao, "VL_RED_BC");
    if (l.IPI) a.IPI = r.Valor(l.IPI, "VL_IPI");
    const auto [repetida, nova] = chavesAnaliticas_.emplace(a.Cst + "|" + a.Cfop + "|" + FormatarValor(a.Aliquota), a.Linha);
    if (!nova)
      r.Falhar(2, "CST_ICMS", "CST " + Trecho(a.Cst) + ", CFOP " + a.Cfop + " e alíquota " + FormatarValor(a.Aliquota) +
                                  " já informados na linha " + std::to_string(repetida->second) +
                                  " do mesmo documento (o leiaute pede uma linha por combinação)");
    d.Analiticos.push_back(std::move(a));
  }

  void AjusteDocumento(const TRegistroEFD& r, const std::string& pai) {
    TDocumentoEFD& d = DocumentoAtual(r, pai);
    r.ExigirCampos(7);
    TAjusteDocumentoEFD a{r.Linha(), r.Reg(), r.Texto(2), r.Texto(3), r.ValorOpcional(7, "VL_ICMS")};
    if (a.Codigo.size() != 10) r.Falhar(2, "COD_AJ", "código de ajuste inválido \"" + Trecho(a.Codigo) + "\" (10 caracteres)");
    d.Ajustes.push_back(std::move(a));
  }

  // The period of E100 (DT_INI at field 2) or E200 (at field 3).
  template <class TApuracao>
  static void Periodo(const TRegistroEFD& r, size_t campoInicio, TApuracao& p) {
    r.ExigirCampos(campoInicio + 1);
    p.Linha = r.Linha();
    p.Inicio = r.Data(campoInicio, "DT_INI");
    p.Fim = r.Data(campoInicio + 1, "DT_FIN");
    if (p.Inicio == 0 || p.Fim < p.Inicio) r.Falhar(campoInicio, "DT_INI", "período de apuração inválido");
  }

  // The amounts of E110 or E210 from field `de` to 15.
  static void Campos(const TRegistroEFD& r, size_t de, const char* (*nome)(size_t), TCamposApuracao& campos) {
    r.ExigirCampos(15);
    for (size_t n = de; n <= 15; ++n) campos[n] = r.Valor(n, nome(n));
  }

  void PeriodoICMS(const TRegistroEFD& r) {
    Entregar();
    TApuracaoICMSEFD p;
    Periodo(r, 2, p);
    a_.ApuracoesICMS.push_back(std::move(p));
    familia_ = "E100";
  }

  // The period (E100 or E200) the record hangs from: the last one opened, when no other family
  // came after it.
  template <class TApuracao>
  TApuracao& Atual(const TRegistroEFD& r, const char* pai, std::vector<TApuracao>& periodos) {
    if (familia_ != pai || periodos.empty())
      r.Falhar("registro " + r.Reg() + " fora de um período (" + std::string(pai) + ")");
    return periodos.back();
  }
  TApuracaoICMSEFD& IcmsAtual(const TRegistroEFD& r) { return Atual(r, "E100", a_.ApuracoesICMS); }
  TApuracaoSTEFD& StAtual(const TRegistroEFD& r) { return Atual(r, "E200", a_.ApuracoesST); }

  void ApuracaoICMS(const TRegistroEFD& r) {
    TApuracaoICMSEFD& p = IcmsAtual(r);
    Campos(r, 2, NomeCampoE110, p.E110);
    p.TemE110 = true;
  }

  void PeriodoST(const TRegistroEFD& r) {
    Entregar();
    TApuracaoSTEFD p;
    Periodo(r, 3, p);
    p.UF = r.Texto(2);
    if (p.UF.size() != 2) r.Falhar(2, "UF", "UF inválida \"" + Trecho(p.UF) + "\"");
    a_.ApuracoesST.push_back(std::move(p));
    familia_ = "E200";
  }

  void ApuracaoST(const TRegistroEFD& r) {
    TApuracaoSTEFD& p = StAtual(r);
    Campos(r, 3, NomeCampoE210, p.E210);
    p.ComMovimento = r.Texto(2) == "1";
    p.TemE210 = true;
  }

  void AjusteApuracao(const TRegistroEFD& r, std::vector<TAjusteApuracaoEFD>& ajustes) {
    r.ExigirCampos(4);
    TAjusteApuracaoEFD a{r.Linha(), r.Texto(2), r.Texto(3), r.Valor(4, "VL_AJ_APUR"), {}};
    if (a.Codigo.size() != 8) r.Falhar(2, "COD_AJ_APUR", "código de ajuste inválido \"" + Trecho(a.Codigo) + "\" (8 caracteres)");
    ajustes.push_back(std::move(a));
  }

  // The record as the file has it, from its name on, for block E to write back.
  static std::string DoNome(const TRegistroEFD& r) {
    std::string texto;
    for (size_t n = 1; n <= r.Quantidade(); ++n) texto += r.Texto(n) + "|";
    return texto;
  }

  void Referencia(const TRegistroEFD& r, std::vector<TAjusteApuracaoEFD>& ajustes, const char* pai) {
    if (ajustes.empty()) r.Falhar(std::string("registro ") + r.Reg() + " fora de um ajuste (" + pai + ")");
    ajustes.back().Referencias.push_back(DoNome(r));
  }

  void Obrigacao(const TRegistroEFD& r, std::vector<TObrigacaoEFD>& obrigacoes) {
    r.ExigirCampos(5);
    obrigacoes.push_back({r.Texto(2), r.Valor(3, "VL_OR"), r.Data(4, "DT_VCTO"), r.Texto(5), r.Texto(10), DoNome(r)});
  }
};

}  // namespace

const char* NomeCampoE110(size_t campo) { return campo < 16 ? kCamposE110[campo] : ""; }
const char* NomeCampoE210(size_t campo) { return campo < 16 ? kCamposE210[campo] : ""; }

void LerArquivoEFD(std::istream& entrada, const std::string& nome, TArquivoEFD& a, const TReceptorDocumentos& receptor,
                   int64_t tamanho, TLeitorEFD::TProgresso progresso) {
  a = TArquivoEFD();
  a.Nome = nome;
  TLeitorEFD leitor(entrada, nome, tamanho, std::move(progresso));
  TInterpretacao interpretacao(a, receptor);
  TRegistroEFD r;
  while (leitor.Proximo(r)) {
    interpretacao.Registro(r);
    a.Linhas = leitor.LinhasLidas();
  }
  a.Digesto = leitor.Digesto();
  if (a.Linhas == 0) throw EArquivoEFD(nome + ": o arquivo está vazio", 0, "");
  if (!leitor.Encerrado())
    throw EArquivoEFD(nome + ", linha " + std::to_string(a.Linhas) +
                          ": o arquivo termina sem o registro 9999 (arquivo incompleto)",
                      a.Linhas, "9999");
  interpretacao.Entregar();
}

TArquivoEFD LerArquivoEFD(std::istream& entrada, const std::string& nome, int64_t tamanho,
                          TLeitorEFD::TProgresso progresso) {
  TArquivoEFD a;
  LerArquivoEFD(entrada, nome, a, {}, tamanho, std::move(progresso));
  return a;
}

void LerArquivoEFD(const std::string& caminho, TArquivoEFD& arquivo, const TReceptorDocumentos& receptor,
                   TLeitorEFD::TProgresso progresso) {
  std::ifstream f(caminho, std::ios::binary);
  if (!f) throw EArquivoEFD("Não foi possível abrir o arquivo " + caminho, 0, "");
  std::error_code ec;
  const auto tamanho = std::filesystem::file_size(caminho, ec);
  LerArquivoEFD(f, std::filesystem::path(caminho).filename().string(), arquivo, receptor,
                ec ? 0 : static_cast<int64_t>(tamanho), std::move(progresso));
}

TArquivoEFD LerArquivoEFD(const std::string& caminho, TLeitorEFD::TProgresso progresso) {
  TArquivoEFD a;
  LerArquivoEFD(caminho, a, {}, std::move(progresso));
  return a;
}

}  // namespace efd
