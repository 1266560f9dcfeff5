# The programs the installer carries: the application itself and its uninstaller.
-include apps/quillmark/quillmark.mk
-include apps/uninstaller/uninstaller.mk
