; A still test card for the display: Graphics I, backdrop colour 4, eight
; bars four cells wide in colours 2, 3, 5, 6, 7, 8, 9 and 10. Even cell rows
; are solid, odd cell rows a checker of the bar colour and colour 15.
; Name table 0x1800, colour table 0x2000, patterns 0x0000, sprites off.
        org 0
        di
        ld hl, registers
        ld b, 8
        ld c, 80h
setreg: ld a, (hl)
        out (0BFh), a           ; value, then 0x80 + register
        ld a, c
        out (0BFh), a
        inc hl
        inc c
        djnz setreg

        ld hl, 0000h            ; patterns: per bar a solid one and a checker
        call vram_write
        ld d, 8
pgroup: ld b, 8
solid:  ld a, 0FFh
        out (0BEh), a
        djnz solid
        ld hl, checker
        ld b, 8
check:  ld a, (hl)
        out (0BEh), a
        inc hl
        djnz check
        ld b, 48                ; the group's six unused patterns
blank:  xor a
        out (0BEh), a
        djnz blank
        dec d
        jr nz, pgroup

        ld hl, 2000h            ; colours: bar colour on colour 15
        call vram_write
        ld hl, colours
        ld b, 8
colour: ld a, (hl)
        out (0BEh), a
        inc hl
        djnz colour

        ld hl, 1800h            ; names: bar = column / 4, checker on odd rows
        call vram_write
        ld e, 0
row:    ld c, 0
column: ld a, c
        and 1Ch
        add a, a
        ld b, a
        ld a, e
        and 1
        or b
        out (0BEh), a
        inc c
        ld a, c
        cp 32
        jr nz, column
        inc e
        ld a, e
        cp 24
        jr nz, row

        ld hl, 1B00h            ; no sprites
        call vram_write
        ld a, 0D0h
        out (0BEh), a
still:  jr still

; Sets the VRAM write address to HL.
vram_write:
        ld a, l
        out (0BFh), a
        ld a, h
        or 40h
        out (0BFh), a
        ret

registers:
        db 00h, 0C0h, 06h, 80h, 00h, 36h, 07h, 04h
checker:
        db 0F0h, 0F0h, 0F0h, 0F0h, 0Fh, 0Fh, 0Fh, 0Fh
colours:
        db 2Fh, 3Fh, 5Fh, 6Fh, 7Fh, 8Fh, 9Fh, 0AFh
