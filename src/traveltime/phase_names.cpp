#include "traveltime/phase_names.h"

namespace nuv {

const std::vector<std::pair<const char*, const char*>>& BuiltInPhaseTypes() {
  static const std::vector<std::pair<const char*, const char*>> kTable = {
      {"P", "P"},
      {"S", "S"},
      {"PKiKP", "pkikp"},
      {"PKPdf", "PKP(df)"},
      {"Pn", "P_n"},
      {"Pg", "P_g"},
      {"Sn", "S_n"},
      {"Sg", "S_g"},
      {"LQ", "LQ"},
      {"LR", "LR"},
      {"LRM", "LRM"},
      {"Lg", "L_g"},
      {"Rg", "R_g"},
      {"PKKPab", "PKKP(ab)"},
      {"PKKPbc", "PKKP(bc)"},
      {"PKKPdf", "PKKP(df)"},
      {"PKPPKP", "PKPPKP"},
      {"PKP", "PKP"},
      {"PKPab", "PKP(ab)"},
      {"PKPbc", "PKP(bc)"},
      {"PP", "PP"},
      {"PPP", "PPP"},
      {"PPS", "PPS"},
      {"PS", "PS"},
      {"Pb", "P_b"},
      {"PcP", "P_cP"},
      {"PcS", "P_cS"},
      {"pPKiKP", "_pPKiKP"},
      {"pPKP", "_pPKP"},
      {"SKKS", "SKKS"},
      {"SKKSac", "SKKS(ac)"},
      {"SKKSdf", "SKKS(df)"},
      {"SKPab", "SKP(ab)"},
      {"SKPdf", "SKP(df)"},
      {"SKSac", "SKS(ac)"},
      {"SKSdf", "SKS(df)"},
      {"SP", "SP"},
      {"SPP", "SPP"},
      {"SS", "SS"},
      {"SSS", "SSS"},
      {"Sb", "S_b"},
      {"ScP", "S_cP"},
      {"ScS", "S_cS"},
      {"pP", "_pP"},
      {"pS", "_pS"},
      {"sP", "_sP"},
      {"sS", "_sS"},
      {"sPcP", "_sP_cP"},
      {"sPKSab", "_sPKS(ab)"},
      {"sPKSbc", "_sPKS(bc)"},
      {"sPKSdf", "_sPKS(df)"},
      {"sPKKPdf", "_sPKKP(df)"},
  };
  return kTable;
}

const std::vector<const char*>& PseudoPhaseTypes() {
  static const std::vector<const char*> kPseudo = {"tx", "Sx", "Unk", "_",   "N",   "I",
                                                   "E",  "Tk", "A",   "AML", "AMB", "AMS"};
  return kPseudo;
}

}  // namespace nuv
