// platform/web/web_console.h: the page's report panel as the programs' console
#pragma once

namespace robosim {

// installs the console hooks: text appended to the page's #panel, a key wait that returns at once
void install_page_console();

}  // namespace robosim
