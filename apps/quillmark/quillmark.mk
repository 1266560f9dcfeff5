# Quillmark.exe, the application the installer carries (entry 106), and copies
# of it with other version resources for the installer's tests.
#   make build/apps/Quillmark.exe   the program, file version 1.0.0.0
#   make fixtures                   build/fixtures/Quillmark-<version>.exe and
#                                   Quillmark-noversion.exe (no version resource)
# Needs ICON from resources/resources.mk (included before this file).
$(if $(ICON),,$(error resources/resources.mk must be included before apps/quillmark/quillmark.mk))

QM_OBJ := $(B)/apps/quillmark
QM_LIBS := -luser32 -lgdi32 -lkernel32
# Flags live in these files: a change to them rebuilds the program.
QM_FLAGS_FILES := Makefile apps/quillmark/quillmark.mk

QM_FIXTURE_VERSIONS := 1.0.0.1 1.0.1.0 1.2.0.0 2.0.0.0
FIXTURES := $(patsubst %,$(B)/fixtures/Quillmark-%.exe,$(QM_FIXTURE_VERSIONS) noversion)

.PHONY: fixtures
fixtures: $(FIXTURES)

$(QM_OBJ)/quillmark.o: apps/quillmark/quillmark.cpp resources/resource_ids.h $(QM_FLAGS_FILES)
	@mkdir -p $(@D)
	$(CC32) $(SHIP_CXXFLAGS) -MMD -MP -c $< -o $@

# res-1.2.0.0.o carries file version 1.2.0.0; res-noversion.o no version at all.
qm_version_defs = $(if $(filter noversion,$(1)),-DQM_NO_VERSION,$(strip \
  $(foreach n,1 2 3 4,-DVERSION_$(n)=$(word $(n),$(subst ., ,$(1))))))

$(QM_OBJ)/res-%.o: apps/quillmark/quillmark.rc resources/resource_ids.h resources/version.rc $(ICON) \
  $(QM_FLAGS_FILES)
	@mkdir -p $(@D)
	$(RC32) -I . -I $(dir $(ICON)) $(call qm_version_defs,$*) $< -o $@

$(B)/apps/Quillmark.exe: $(QM_OBJ)/quillmark.o $(QM_OBJ)/res-1.0.0.0.o $(QM_FLAGS_FILES) tools/ship.ld
	@mkdir -p $(@D)
	$(call ship_link,$(filter %.o,$^),$(QM_LIBS))

$(B)/fixtures/Quillmark-%.exe: $(QM_OBJ)/quillmark.o $(QM_OBJ)/res-%.o $(QM_FLAGS_FILES) tools/ship.ld
	@mkdir -p $(@D)
	$(call ship_link,$(filter %.o,$^),$(QM_LIBS))

.SECONDARY: $(patsubst %,$(QM_OBJ)/res-%.o,1.0.0.0 $(QM_FIXTURE_VERSIONS) noversion)

-include $(QM_OBJ)/quillmark.d
