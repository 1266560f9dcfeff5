# qmkuins1.exe, the uninstaller the installer carries: i686, no C runtime.  It
# shares the installer's text, path, item-list, registry and folder-rule helpers.
UNINSTALLER_SOURCES := $(wildcard apps/uninstaller/*.cpp) \
  setup/text.cpp setup/paths.cpp setup/code_page.cpp setup/files.cpp setup/shell_folders.cpp setup/registry.cpp \
  setup/crc32.cpp setup/system_library.cpp setup/com_library.cpp location/folder_rules.cpp \
  payload/journal.cpp payload/journal_format.cpp
UNINSTALLER_OBJECTS := $(patsubst %.cpp,$(B)/uninstaller-obj/%.o,$(UNINSTALLER_SOURCES))
UNINSTALLER_LIBS := -lshell32 -ladvapi32 -luser32 -lkernel32

$(B)/uninstaller-obj/%.o: %.cpp $(wildcard apps/uninstaller/*.h setup/*.h payload/*.h registration/*.h location/*.h) Makefile \
  $(CARRIED_HEADER) $(INSTALLED_SUMS)
	@mkdir -p $(dir $@)
	$(CC32) $(SHIP_CXXFLAGS) -c $< -o $@

$(B)/uninstaller-obj/uninstaller.res: apps/uninstaller/uninstaller.rc resources/version.rc $(MANIFEST)
	@mkdir -p $(dir $@)
	$(RC32) -O coff -I . $< $@

$(B)/apps/qmkuins1.exe: $(UNINSTALLER_OBJECTS) $(B)/uninstaller-obj/uninstaller.res tools/ship.ld $(SIGNING)
	@mkdir -p $(dir $@)
	$(call ship_link,$(filter %.o %.res,$^),$(UNINSTALLER_LIBS),Quillmark Uninstall)
