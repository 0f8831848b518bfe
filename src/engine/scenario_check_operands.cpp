#include "engine/scenario_check_operands.h"

#include <unordered_map>

namespace velmio {
namespace {

struct Signature {
  std::string_view name;
  std::string_view operands;
};

constexpr Signature kSignatures[] = {
    // Variables, arithmetic and control flow.
    {"mov", "!"}, {"add", "!"}, {"sub", "v,n"}, {"mul", "v,n"}, {"div", "v,n"}, {"mod", "v,n"}, {"inc", "v"},
    {"dec", "v"}, {"rnd", "v,n"}, {"rnd2", "v,n,n"}, {"len", "v,s"}, {"cmp", "v,s,s"}, {"getreg", "V,s,s"},
    {"getini", "V,s,s,s"}, {"intlimit", "n,n,n"}, {"numalias", "!"}, {"stralias", "!"}, {"goto", "l"},
    {"gosub", "l"}, {"return", ""}, {"skip", "n"}, {"if", "!"}, {"notif", "!"}, {"definereset", ""},
    {"game", ""},
    // Window, menu bar and timing.
    {"end", ""}, {"caption", "s"}, {"mesbox", "s,s"}, {"mousecursor", "(oo|f)"}, {"versionstr", "s,s"},
    {"mode_ext", ""}, {"killmenu", "n"}, {"menu_full", ""}, {"menu_window", ""}, {"menu_click_def", ""},
    {"menu_click_page", ""}, {"delay", "n"}, {"wait", "n"}, {"resettimer", ""}, {"waittimer", "n"},
    // Text window.
    {"setwindow", "n,n,n,n,n,n,n,n,n,n,n,(#c,n,n,n,n|f,n,n)"}, {"textoff", ""}, {"texton", ""},
    {"textclear", ""}, {"textmode", "n"}, {"erasetextwindow", "n"}, {"windoweffect", "n[,n[,f]]"},
    {"locate", "n,n"}, {"puttext", "s"}, {"br", ""}, {"click", ""}, {"clickpos", "v,v"}, {"clickstr", "s,n"},
    {"trap", "(oo|l)"}, {"setcursor", "n,f,n,n"}, {"abssetcursor", "n,f,n,n"}, {"textspeed", "n"},
    {"defaultspeed", "n,n,n"}, {"defaultfont", "s"}, {"autoclick", "n"},
    // Pictures and effects.
    {"effect", "n,n[,n[,f]]"}, {"effectblank", "n"}, {"print", "e"}, {"bg", "!"}, {"ld", "a,f,e"},
    {"cl", "a,e"}, {"tal", "a,n,e"}, {"lsp", "n,f,n,n[,n]"}, {"lsph", "n,f,n,n[,n]"}, {"csp", "n"},
    {"vsp", "n,n"}, {"msp", "n,n,n[,n]"}, {"monocro", "(oo|c)"}, {"nega", "n"}, {"quakex", "n,n"},
    {"quakey", "n,n"}, {"humanz", "n"}, {"underline", "n"}, {"bgalia", "n,n,n,n"}, {"transmode", "w"},
    {"spi", "s"}, {"arc", "!"},
    // Choices, menus, lookback and input.
    {"select", "!"}, {"selgosub", "!"}, {"selnum", "!"}, {"selectcolor", "c,c"}, {"selectvoice", "m,m,m"},
    {"rmenu", "s,w{,s,w}"}, {"roff", ""}, {"rlookback", ""}, {"rmode", "n"}, {"systemcall", "w"},
    {"reset", ""}, {"menusetwindow", "n,n,n,n,n,n,c"}, {"menuselectcolor", "c,c,c"},
    {"menuselectvoice", "m,m,m,m,m,m,m"}, {"clickvoice", "m,m"}, {"lookbackflush", ""},
    {"lookbackcolor", "c"}, {"lookbackbutton", "f,f,f,f"}, {"lookbackvoice", "m"},
    {"inputstr", "V,s,n,n[,n,n,n,n]"}, {"inputnum", "v,s[,n,n,n,n]"},
    // Sound and movies.
    {"play", "m"}, {"playonce", "m"}, {"playstop", ""}, {"stop", ""}, {"wave", "m"}, {"waveloop", "m"},
    {"wavestop", ""}, {"mp3", "m"}, {"mp3loop", "m"}, {"avi", "m,n"}, {"cdfadeout", "n"},
    {"soundpressplgin", "s"},
    // Saves.
    {"savenumber", "n"}, {"savename", "s,s,s"}, {"globalon", ""}, {"filelog", ""},
};

}  // namespace

std::optional<std::string_view> OperandSignature(std::string_view name) {
  static const std::unordered_map<std::string_view, std::string_view> index = [] {
    std::unordered_map<std::string_view, std::string_view> built;
    for (const Signature& signature : kSignatures) built.emplace(signature.name, signature.operands);
    return built;
  }();
  auto it = index.find(name);
  if (it == index.end()) return std::nullopt;
  return it->second;
}

}  // namespace velmio
