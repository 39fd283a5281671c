; Banks 4-7 of the 128 KB Sega-mapper cartridge (see cart_sega.asm): bank k
; holds 0B0h + k at its offsets 03FFh, 0400h and 3FFFh, 0FFh elsewhere.
MARK    equ 0B0h

bank    MACRO num
        ds 03FFh, 0FFh
        db MARK+num, MARK+num
        ds 3FFFh - 0401h, 0FFh
        db MARK+num
        ENDM

        org 0
        bank 4
        bank 5
        bank 6
        bank 7
