; Plays one steady tone: channel 0 at period 254 (3,579,545 / (32 x 254),
; about 440.4 Hz) at full volume, the other channels silent, then loops.
psg     equ 0x7F

        org 0
        di
        ld hl, writes
        ld b, writes_end - writes
        ld c, psg
        otir
forever:
        jr forever

writes:
        db 0x8E, 0x0F   ; tone 0 period: low 4 bits 0xE, high 6 bits 0x0F
        db 0x90         ; tone 0 attenuation 0
        db 0xBF, 0xDF   ; tones 1 and 2 off
        db 0xFF         ; noise off
writes_end:
