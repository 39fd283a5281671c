; A 32 KB cartridge for the RAM adapter: 8 KB of RAM at 0x2000-0x3FFF in
; place of the image's bytes there. It reads 0x2001, writes both ends of
; the adapter and the ROM bytes just outside it, and reads them all back.
; The verdict becomes the backdrop colour:
;   3 (light green)  RAM at 0x2000-0x3FFF (cleared at load), ROM around it
;   4 (dark blue)    ROM at 0x2000-0x3FFF too (no adapter)
;  13 (magenta)      anything else
IMAGE_BYTE equ 11h          ; the image's bytes at 0x2000-0x3FFF
MARK_1FFF equ 22h
MARK_4000 equ 33h
OK      equ 3
NO_RAM  equ 4
ODD     equ 13

        org 0
        di
        ld sp, 0
        ld a, (2001h)       ; before any write
        ld e, a
        ld a, 5Ah
        ld (2000h), a
        ld a, 0A5h
        ld (3FFFh), a
        ld a, 66h           ; just outside the adapter: ROM
        ld (1FFFh), a
        ld (4000h), a

        ld b, ODD
        ld a, (1FFFh)       ; the ROM around the adapter is kept in any case
        cp MARK_1FFF
        jr nz, show
        ld a, (4000h)
        cp MARK_4000
        jr nz, show
        ld a, (3FFFh)
        ld d, a
        ld a, (2000h)
        cp IMAGE_BYTE
        jr z, rom_there
        cp 5Ah
        jr nz, show
        ld a, d
        cp 0A5h
        jr nz, show
        ld a, e
        or a
        jr nz, show
        ld b, OK
        jr show
rom_there:
        ld a, d
        cp IMAGE_BYTE
        jr nz, show
        ld b, NO_RAM
show:   ld a, b
        out (0BFh), a       ; VDP register 7: backdrop colour
        ld a, 87h
        out (0BFh), a
        jr $

        ds 1FFFh - $, 0FFh
        db MARK_1FFF
        ds 4000h - $, IMAGE_BYTE
        db MARK_4000
        ds 8000h - $, 0FFh
