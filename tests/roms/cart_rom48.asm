; A 48 KB cartridge for the rom map: ROM at 0x0000-0xBFFF, RAM from 0xC000.
; It tries to overwrite ROM bytes at 0x7FFF, 0x8000 and 0xBFFF, reads them
; back, uses RAM at 0xC000, and calls code at 0xA000 when 0x8000 is ROM.
; The verdict becomes the backdrop colour:
;   3 (light green)  the rom map: every ROM byte kept, the code at 0xA000 ran
;   8 (medium red)   the flat map: 0x8000 is RAM (the image cut at 32 KB)
;  13 (magenta)      anything else
SCRATCH equ 0C010h
MARK_7FFF equ 37h
MARK_8000 equ 0A5h
MARK_BFFF equ 5Ah
OK      equ 3
FLAT    equ 8
ODD     equ 13

        org 0
        di
        ld sp, 0
        ld a, 0EEh          ; try to overwrite ROM
        ld (7FFFh), a
        ld (8000h), a
        ld (0BFFFh), a
        ld a, 3Ch           ; RAM from 0xC000
        ld (SCRATCH), a

        ld b, FLAT
        ld a, (8000h)
        cp 0EEh
        jr z, show
        ld b, ODD
        cp MARK_8000
        jr nz, show
        ld a, (0BFFFh)
        cp MARK_BFFF
        jr nz, show
        ld a, (7FFFh)
        cp MARK_7FFF
        jr nz, show
        ld a, (SCRATCH)
        cp 3Ch
        jr nz, show
        call high_code      ; only where 0x8000-0xBFFF is ROM
show:   ld a, b
        out (0BFh), a       ; VDP register 7: backdrop colour
        ld a, 87h
        out (0BFh), a
        jr $

        ds 7FFFh - $, 0FFh
        db MARK_7FFF
        db MARK_8000        ; 0x8000
        ds 0A000h - $, 0FFh
high_code:                  ; 0xA000
        ld b, OK
        ret
        ds 0BFFFh - $, 0FFh
        db MARK_BFFF
