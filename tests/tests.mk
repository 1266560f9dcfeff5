# Tests: the end-to-end driver (a 64-bit Windows program run under Wine) and
# the `test` target.  Included by the top-level Makefile.
E2E_DRIVER := $(B)/tests/driver.exe
# Libraries of names Windows looks for in a program's own folder (none is a
# known DLL), planted beside setup.exe by the planted-dlls scenario.  Wine
# loads version.dll for its own user32, so that one is left out here; the
# import table shows it instead (tests/pe-check.sh).
PLANTED_DLLS := lz32 uxtheme dwmapi winmm usp10 propsys profapi cryptbase userenv apphelp
PLANTED := $(patsubst %,$(B)/tests/planted/%.dll,$(PLANTED_DLLS))
E2E_PROGRAMS := $(E2E_DRIVER) $(PLANTED)
E2E_SOURCES := tests/e2e/driver.cpp tests/e2e/scenarios.cpp
E2E_HEADERS := tests/e2e/driver.h $(CARRIED_HEADER) payload/manifest_table.h registration/record_keys.h \
  resources/resource_ids.h setup/messages.h setup/product.h

$(E2E_DRIVER): $(E2E_SOURCES) $(E2E_HEADERS)
	@mkdir -p $(@D)
	$(CC64) $(TEST_CXXFLAGS) -o $@ $(E2E_SOURCES) -luser32 -lgdi32 -ladvapi32 -lshell32 -lcomctl32 -lole32 -luuid -lntdll

$(B)/tests/planted/%.dll: tests/e2e/planted_dll.cpp
	@mkdir -p $(@D)
	$(CC32) -std=c++17 -Os -Wall -Wextra -Werror -shared -nostdlib -Wl,--kill-at,-e,_DllMain@12 -o $@ $< -lkernel32

.PHONY: e2e-driver
e2e-driver: $(E2E_DRIVER)
